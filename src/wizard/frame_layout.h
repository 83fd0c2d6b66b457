// The arithmetic of the wizard window: its size from the settings, its place
// on the desktop, where the buttons and lines go when it is resized and how
// large the current page is. Pixels unless stated; everything is portable so
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

// One outer dimension from a "dimension.width" or "dimension.height" value:
// nullopt for an empty value (keep the current size); otherwise the leading
// number read with base detection (0x hexadecimal, 0 octal; no digits give 0)
// and, with "%" directly after it, that percentage of `desktopExtent`.
[[nodiscard]] std::optional<uint32_t> DimensionFromSetting(TextView value, uint32_t desktopExtent);

// The top-left corner that centres a client area of `client` on `desktop`.
[[nodiscard]] Rect CenteredOn(Size desktop, Size client);

// The splitter position in pixels from a percentage of the client width.
[[nodiscard]] int32_t SplitterPixels(int32_t clientWidth, int32_t percent);

// Where the frame puts its controls for a client area of `client`, with
// buttons of `button` size. Buttons are only moved: their width and height
// stay as they are.
struct FrameLayout {
  Rect lineAboveButtons;
  Rect lineUnderHeader;
  Rect cancel;
  Rect nextAndFinish;
  Rect back;
  // The band of the header picture and texts that is repainted.
  Rect header;
  // The size of the current page: 10 horizontal and 60 vertical dialog
  // units less than the client area.
  Size page;
};

// `dialogBaseX` and `dialogBaseY` are the system's dialog base units.
[[nodiscard]] FrameLayout LayOutFrame(Size client, Size button, int32_t dialogBaseX,
                                      int32_t dialogBaseY);

// The smallest client area the user may size the window to: the size at the
// first request plus 20 pixels of height for the grip.
[[nodiscard]] Size MinimumTrackingSize(Size firstClient);

}  // namespace tarn::wizard
