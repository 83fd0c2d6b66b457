// Where the software page puts the list, the help pane and its two buttons,
// and how the splitter between list and pane moves, in pixels at the page's
// DPI (the constants are for 96 DPI and scaled).
#pragma once

#include <cstdint>

#include "wizard/frame_layout.h"

namespace tarn::wizard {

// The width of the strip between list and pane that the splitter occupies.
inline constexpr int32_t kSplitterWidth = 5;
// The narrowest the list gets by dragging.
inline constexpr int32_t kNarrowestList = 20;

// The splitter's strip at `dpi`.
[[nodiscard]] int32_t SplitterWidth(uint32_t dpi);

struct SoftwarePageMetrics {
  int32_t width = 0;    // what the list, splitter and pane may fill
  int32_t height = 0;   // the page's client height
  int32_t listTop = 0;  // where the template put the list
  Size loadButton;
  Size selectAllButton;
  int32_t dialogFrameWidth = 0;  // SM_CXDLGFRAME
  int32_t scrollBarWidth = 0;    // SM_CXVSCROLL, counted while the list shows one
  bool listScrolls = false;
  uint32_t dpi = kStandardDpi;
};

struct SoftwarePageLayout {
  int32_t splitter = 0;  // the list's width, kept by the caller
  Rect list;
  Rect help;
  Rect load;
  Rect selectAll;
  int32_t columnWidth = 0;
};

// The page laid out for `splitter` (the list's width); the splitter is
// pulled in when it would leave the pane less than its strip.
[[nodiscard]] SoftwarePageLayout LayOutSoftwarePage(int32_t splitter,
                                                    const SoftwarePageMetrics& metrics);

// True when `x` lies on the splitter's strip at `dpi`.
[[nodiscard]] bool OnSplitter(int32_t x, int32_t splitter, uint32_t dpi);

// The splitter under a dragging pointer at `x`, kept between the narrowest
// list and the page's right edge less the strip, at `dpi`.
[[nodiscard]] int32_t DraggedSplitter(int32_t x, int32_t pageWidth, uint32_t dpi);

}  // namespace tarn::wizard
