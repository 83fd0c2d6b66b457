#include "platform/unexpand_path.h"

#include <array>

namespace tarn::platform {

std::optional<Text> UnExpandPath(Environment& environment, TextView path, uint32_t capacity) {
  static constexpr std::array<TextView, 6> kNames = {u"ALLUSERSPROFILE", u"APPDATA",
                                                     u"USERPROFILE",     u"ProgramFiles",
                                                     u"SystemRoot",      u"SystemDrive"};
  TextView bestName;
  size_t bestLength = 0;
  for (TextView name : kNames) {
    const auto value = environment.Get(name);
    if (!value) continue;
    TextView folder = *value;
    // "C:\" and "C:" both name the drive; the match ends before its backslash.
    while (!folder.empty() && folder.back() == u'\\') folder.remove_suffix(1);
    if (folder.size() <= bestLength || !StartsWithIgnoreCase(path, folder)) continue;
    if (folder.size() < path.size() && path[folder.size()] != u'\\') continue;
    bestName = name;
    bestLength = folder.size();
  }
  if (bestLength == 0) return std::nullopt;
  Text result = u"%" + Text(bestName) + u"%" + Text(path.substr(bestLength));
  if (result.size() + 1 > capacity) return std::nullopt;
  return result;
}

}  // namespace tarn::platform
