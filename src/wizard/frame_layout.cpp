#include "wizard/frame_layout.h"

#include <algorithm>
#include <cstdlib>

namespace tarn::wizard {

int32_t ScaledToDpi(int32_t pixels, uint32_t dpi) {
  // Half away from zero, as MulDiv rounds, so that -x scales to -(x scaled).
  const int64_t product = static_cast<int64_t>(pixels) * dpi;
  const int64_t half = kStandardDpi / 2;
  const int64_t magnitude = (std::llabs(product) + half) / kStandardDpi;
  return static_cast<int32_t>(product < 0 ? -magnitude : magnitude);
}

int32_t NearestPictureScale(uint32_t dpi) {
  int32_t nearest = 100;
  for (const int32_t scale : {150, 200}) {
    const int64_t percent = static_cast<int64_t>(dpi) * 100;
    const int64_t here = std::llabs(percent - static_cast<int64_t>(scale) * kStandardDpi);
    const int64_t best = std::llabs(percent - static_cast<int64_t>(nearest) * kStandardDpi);
    if (here <= best) nearest = scale;
  }
  return nearest;
}

std::optional<uint32_t> DimensionFromSetting(TextView value, uint32_t desktopExtent) {
  if (value.empty()) return std::nullopt;
  size_t consumed = 0;
  const uint32_t number = ParseNumberAutoBase(value, &consumed);
  if (consumed < value.size() && value[consumed] == u'%') {
    // Unsigned 32-bit arithmetic, as a window size is computed on the system.
    return static_cast<uint32_t>(number * desktopExtent) / 100u;
  }
  return number;
}

Rect CenteredOn(Size desktop, Size client) {
  return Rect{desktop.width / 2 - client.width / 2, desktop.height / 2 - client.height / 2,
              client.width, client.height};
}

int32_t SplitterPixels(int32_t clientWidth, int32_t percent) {
  return clientWidth - static_cast<int32_t>(static_cast<int64_t>(clientWidth) * percent / 100);
}

FrameLayout LayOutFrame(const FrameMetrics& metrics) {
  const auto scaled = [&](int32_t pixels) { return ScaledToDpi(pixels, metrics.dpi); };
  const int32_t w = metrics.client.width;
  const int32_t h = metrics.client.height;
  const Size button = metrics.button;
  const int32_t buttonsY = h - button.height - scaled(10);
  const int32_t cancelX = w - button.width - scaled(10);
  const int32_t nextX = cancelX - scaled(10) - button.width;
  FrameLayout layout;
  layout.lineAboveButtons = {0, buttonsY - scaled(14), w, 2};
  // The header line keeps its 96-DPI distance above the page, which the
  // sheet places in dialog units: the header band grows with the header's
  // font. Without a page the line keeps its 96-DPI place, scaled.
  const int32_t headerLine = metrics.pageTop > scaled(8) ? metrics.pageTop - scaled(8) : scaled(58);
  layout.lineUnderHeader = {0, headerLine, w, 2};
  layout.cancel = {cancelX, buttonsY, button.width, button.height};
  layout.nextAndFinish = {nextX, buttonsY, button.width, button.height};
  layout.back = {nextX - button.width, buttonsY, button.width, button.height};
  layout.header = {0, 0, w, headerLine + 2};
  // The sheet placed the page below its header for the window's scale.
  const int32_t pageTop = metrics.pageTop;
  layout.page = {metrics.pageLeft, pageTop, std::max(w - 2 * metrics.pageLeft, int32_t{0}),
                 std::max(layout.lineAboveButtons.y - scaled(7) - pageTop, int32_t{0})};
  return layout;
}

Size MinimumTrackingSize(Size firstClient, uint32_t dpi) {
  return Size{firstClient.width, firstClient.height + ScaledToDpi(20, dpi)};
}

}  // namespace tarn::wizard
