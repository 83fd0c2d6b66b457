#include "base/shell_folder_names.h"

namespace tarn {

const std::array<TextView, kShellFolderCount>& ShellFolderNames() {
  static constexpr std::array<TextView, kShellFolderCount> kNames = {
      u"My Music",  u"My Pictures", u"My Video",      u"Personal",       u"Administrative Tools",
      u"Cache",     u"CD Burning",  u"Cookies",       u"Desktop",        u"Favorites",
      u"Fonts",     u"History",     u"Local AppData", u"Local Settings", u"NetHood",
      u"PrintHood", u"Programs",    u"Recent",        u"SendTo",         u"Start Menu",
      u"Startup",   u"Templates",
  };
  return kNames;
}

std::optional<size_t> FindShellFolder(TextView name) {
  const auto& names = ShellFolderNames();
  for (size_t index = 0; index < names.size(); ++index) {
    if (EqualsIgnoreCase(names[index], name)) return index;
  }
  return std::nullopt;
}

}  // namespace tarn
