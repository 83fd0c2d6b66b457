// What DeleteProfileW does on the simulated machine.
#pragma once

#include "base/text.h"
#include "platform/sim/sim_environment.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_registry.h"

namespace tarn::sim {

// Removes the profile of the account whose SID is `sidText`: its folder (as
// the profile list's "ProfileImagePath" names it, expanded with the
// system's variables), then its profile-list entry. kErrorFileNotFound when
// the list has no entry for it; kErrorSharingViolation, with nothing
// removed, while its hive is loaded under HKEY_USERS; the entry stays when
// the folder could not be removed wholly.
[[nodiscard]] WinError DeleteSimProfile(SimRegistry& registry, SimFileSystem& files,
                                        TextView sidText);

}  // namespace tarn::sim
