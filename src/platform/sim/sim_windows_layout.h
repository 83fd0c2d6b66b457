// What a freshly installed Windows 10/11 machine holds before anyone but the
// set-up administrator has logged on: the profiles folder with its Default
// and Public profiles, the compatibility junctions, the profile list, and
// the .DEFAULT user's shell folders. The simulated machine starts from it.
#pragma once

#include <array>

#include "base/text.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_registry.h"

namespace tarn::sim {

// Where the layout puts things; the same texts a real machine answers.
inline constexpr char16_t kWindowsFolder[] = u"C:\\Windows";
inline constexpr char16_t kUsersFolder[] = u"C:\\Users";
inline constexpr char16_t kDefaultProfileFolder[] = u"C:\\Users\\Default";
inline constexpr char16_t kPublicProfileFolder[] = u"C:\\Users\\Public";
inline constexpr char16_t kProgramDataFolder[] = u"C:\\ProgramData";
inline constexpr char16_t kAdministratorProfileFolder[] = u"C:\\Users\\Administrator";
// HKLM\SOFTWARE\Microsoft\Cryptography "MachineGuid" of the simulated machine.
inline constexpr char16_t kMachineGuid[] = u"5b1f0c2e-7d43-4a8e-9c61-2f0e8d7a4b93";

// One value of a User Shell Folders key.
struct ShellFolderValue {
  const char16_t* name;
  const char16_t* path;
};

// The User Shell Folders of a new Windows 10/11 user, as the Default
// profile's hive and the .DEFAULT user hold them. Folders that older
// systems had ("Local Settings", "Administrative Tools", "CD Burning",
// "Fonts") are not among them.
[[nodiscard]] const std::array<ShellFolderValue, 20>& Windows10UserShellFolders();

// Lays out the files and registry keys of a fresh Windows 10/11 machine
// whose built-in administrator (`administratorSid`, text form) has a
// profile. Hive files are written without the privilege check; call it
// before one is set.
void LayOutWindows10(SimFileSystem& files, SimRegistry& registry, TextView administratorSid);

}  // namespace tarn::sim
