#include "wizard/frame_layout.h"

namespace tarn::wizard {
namespace {

// MulDiv's rounding for the positive values of dialog units.
int32_t DialogUnitsToPixels(int32_t units, int32_t base, int32_t divisor) {
  return static_cast<int32_t>((static_cast<int64_t>(units) * base + divisor / 2) / divisor);
}

}  // namespace

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

FrameLayout LayOutFrame(Size client, Size button, int32_t dialogBaseX, int32_t dialogBaseY) {
  const int32_t w = client.width;
  const int32_t h = client.height;
  const int32_t buttonsY = h - button.height - 10;
  FrameLayout layout;
  layout.lineAboveButtons = {0, h - 47, w, 2};
  layout.lineUnderHeader = {0, 58, w, 2};
  layout.cancel = {w - button.width - 10, buttonsY, button.width, button.height};
  layout.nextAndFinish = {w - 2 * button.width - 20, buttonsY, button.width, button.height};
  layout.back = {w - 3 * button.width - 20, buttonsY, button.width, button.height};
  layout.header = {0, 0, w, 60};
  layout.page = {w - DialogUnitsToPixels(10, dialogBaseX, 4),
                 h - DialogUnitsToPixels(60, dialogBaseY, 8)};
  return layout;
}

Size MinimumTrackingSize(Size firstClient) {
  return Size{firstClient.width, firstClient.height + 20};
}

}  // namespace tarn::wizard
