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

// An account's hive opened for the run.
struct UserHive {
  // The open root of HKEY_USERS\<SID>.
  platform::RegKey root = 0;
  // Whether this run loaded it (and so must unload it). A hive that was
  // already loaded belongs to a logged-on user or to another program.
  bool loadedHere = false;

  // The root, for the registry calls.
  operator platform::RegKey() const { return root; }  // NOLINT(google-explicit-constructor)
};

// Opens the hive of the account `sid`: the one already loaded under
// HKEY_USERS\<SID>, else its hive file in `folder`, loaded there. A hive
// file that isn't there is never loaded (the system would make an empty
// one). nullopt when no folder is given, there is no hive, or the root can't
// be opened.
[[nodiscard]] std::optional<UserHive> LoadUserHive(const AccountServices& services,
                                                   const platform::Sid& sid, TextView folder);

// Closes `hive` and, when this run loaded it, unloads it; the unload's error
// (a hive left loaded stays locked until the next start).
[[nodiscard]] WinError UnloadUserHive(const AccountServices& services, const platform::Sid& sid,
                                      const UserHive& hive);

}  // namespace tarn::accounts
