// Finding an account's SID and profile, and loading its registry hive while
// nobody is logged on with it.
#pragma once

#include <cstdint>
#include <optional>

#include "accounts/account_services.h"
#include "base/text.h"
#include "platform/registry.h"
#include "platform/security.h"

namespace tarn::accounts {

inline constexpr char16_t kProfileListKey[] =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

// An account's entry of the profile list.
struct ProfileRecord {
  // Local profile folder, expanded (260 characters).
  Text localPath;
  // Roaming profile folder, expanded; empty when there is none.
  Text roamingPath;
  // "UserPreference", 0 when absent.
  uint32_t preference = 0;
};

// The SID of `name` on `server` (empty: the local computer). When a user is
// wanted and the name is that of a computer or domain, "name\\name" is looked
// up instead. nullopt when it doesn't resolve.
[[nodiscard]] std::optional<platform::Sid> ResolveAccountSid(
    const AccountServices& services, TextView server, TextView name,
    uint32_t wantedUse = platform::kSidTypeUser);

// The profile of `name`, whose SID is `sid` (nullopt when it didn't
// resolve): for "system" the Default User profile folder; otherwise the
// profile-list entry of `sid`. nullopt when there is no SID or the entry
// can't be opened.
[[nodiscard]] std::optional<ProfileRecord> FindProfile(const AccountServices& services,
                                                       TextView name,
                                                       const std::optional<platform::Sid>& sid);

// The hive file of a profile folder: the expanded folder with "ntuser.dat"
// appended unless that is already its last component (in any case).
[[nodiscard]] Text HiveFilePath(const AccountServices& services, TextView folder);

// Loads the hive of the account `sid` from `folder` under HKEY_USERS\<SID>
// and opens its root. A hive that is already loaded is opened all the same.
// nullopt when no folder is given or the root can't be opened.
[[nodiscard]] std::optional<platform::RegKey> LoadUserHive(const AccountServices& services,
                                                           const platform::Sid& sid,
                                                           TextView folder);

// Closes `hive` and unloads the hive of the account `sid`; the unload's
// error (a hive left loaded stays locked until the next start).
[[nodiscard]] WinError UnloadUserHive(const AccountServices& services, const platform::Sid& sid,
                                      platform::RegKey hive);

}  // namespace tarn::accounts
