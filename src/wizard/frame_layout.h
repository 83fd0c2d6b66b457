// The arithmetic of the wizard window: its size from the settings, its place
// on the desktop, where the buttons and lines go when it is resized and how
// large the current page is. Pixels unless stated; measures given for a
// 96-DPI screen are scaled to the window's DPI. Everything is portable so
// that the numbers are tested without a window.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace tarn::wizard {

struct Size {
  int32_t width = 0;
  int32_t height = 0;
};

struct Rect {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// The DPI at which the system draws at 100 %.
inline constexpr uint32_t kStandardDpi = 96;

// `pixels` measured at 96 DPI, at `dpi` (rounded as MulDiv rounds).
[[nodiscard]] int32_t ScaledToDpi(int32_t pixels, uint32_t dpi);

// Of the scales pictures are drawn at (100, 150 and 200 %), the one nearest
// to `dpi`; a tie goes to the larger.
[[nodiscard]] int32_t NearestPictureScale(uint32_t dpi);

// One outer dimension from a "dimension.width" or "dimension.height" value:
// nullopt for an empty value (keep the current size); otherwise the leading
// number read with base detection (0x hexadecimal, 0 octal; no digits give 0)
// and, with "%" directly after it, that percentage of `desktopExtent`.
[[nodiscard]] std::optional<uint32_t> DimensionFromSetting(TextView value, uint32_t desktopExtent);

// The top-left corner that centres a client area of `client` on `desktop`.
[[nodiscard]] Rect CenteredOn(Size desktop, Size client);

// The splitter position in pixels from a percentage of the client width.
[[nodiscard]] int32_t SplitterPixels(int32_t clientWidth, int32_t percent);

// What the frame's layout starts from: the client area, the buttons' size
// (the sheet sizes them in dialog units), where the sheet put the page's
// top-left corner and the window's DPI.
struct FrameMetrics {
  Size client;
  Size button;
  int32_t pageLeft = 0;
  int32_t pageTop = 0;
  uint32_t dpi = kStandardDpi;
};

// Where the frame puts its controls. Buttons are only moved: their width and
// height stay as they are.
struct FrameLayout {
  Rect lineAboveButtons;
  Rect lineUnderHeader;
  Rect cancel;
  Rect nextAndFinish;
  Rect back;
  // The band of the header picture and texts that is repainted.
  Rect header;
  // The current page: as wide as the client area less its left margin on
  // both sides, from where the sheet put its top down to a gap above the
  // button line.
  Rect page;
};

[[nodiscard]] FrameLayout LayOutFrame(const FrameMetrics& metrics);

// The smallest client area the user may size the window to: the size at the
// first request plus 20 pixels (at 96 DPI) of height for the grip.
[[nodiscard]] Size MinimumTrackingSize(Size firstClient, uint32_t dpi);

}  // namespace tarn::wizard
