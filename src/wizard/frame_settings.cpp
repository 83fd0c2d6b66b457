#include "wizard/frame_settings.h"

#include <algorithm>

#include "base/format.h"

namespace tarn::wizard {

namespace {

constexpr char16_t kSettings[] = u"settings";
constexpr uint32_t kValueCapacity = 261;

int32_t Dimension(platform::ProfileFiles& profiles, TextView iniPath, TextView key,
                  int32_t desktopExtent, int32_t current) {
  const Text value = profiles.GetString(iniPath, kSettings, key, u"", kValueCapacity).data;
  const std::optional<uint32_t> setting =
      DimensionFromSetting(value, static_cast<uint32_t>(std::max(desktopExtent, 0)));
  if (!setting) return current;
  // A size beyond any screen is limited by the work area afterwards.
  return static_cast<int32_t>(std::min<uint32_t>(*setting, INT32_MAX));
}

}  // namespace

Size ClampToWorkArea(Size size, Size workArea) {
  return Size{std::clamp(size.width, 0, std::max(workArea.width, 0)),
              std::clamp(size.height, 0, std::max(workArea.height, 0))};
}

Size OpeningSize(platform::ProfileFiles& profiles, TextView iniPath, Size desktop, Size current,
                 Size workArea) {
  const Size wanted{
      Dimension(profiles, iniPath, u"dimension.width", desktop.width, current.width),
      Dimension(profiles, iniPath, u"dimension.height", desktop.height, current.height)};
  return ClampToWorkArea(wanted, workArea);
}

bool SaveClosingSize(platform::ProfileFiles& profiles, TextView iniPath, Size outer) {
  if (profiles.GetInt(iniPath, kSettings, u"dimension.update", 0) == 0) return false;
  const Text width = Format(u"%d", {outer.width});
  const Text height = Format(u"%d", {outer.height});
  const bool wroteWidth =
      profiles.WriteString(iniPath, kSettings, u"dimension.width", width) == kErrorSuccess;
  const bool wroteHeight =
      profiles.WriteString(iniPath, kSettings, u"dimension.height", height) == kErrorSuccess;
  return wroteWidth && wroteHeight;
}

}  // namespace tarn::wizard
