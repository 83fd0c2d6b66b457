// Setting up an account's profile before its first logon, and deleting the
// profile of a removed account.
#pragma once

#include <functional>
#include <span>
#include <vector>

#include "accounts/account_services.h"
#include "base/result.h"
#include "base/text.h"
#include "platform/registry.h"
#include "platform/security.h"

namespace tarn::accounts {

// The access list of a profile: full control for Administrators, the local
// system and `account`, each as an entry for the object itself and one
// passed down to everything below it.
[[nodiscard]] std::vector<platform::AccessEntry> ProfileAccessList(const platform::Sid& account);

// Gives a freshly copied hive to `account`: loads the hive of `folder` (or
// the hive file it names), adds the profile access list to its root's and
// the same entries, marked inherited, to every key's below (what the keys
// had stays), starts its shell folders from the system defaults, then
// unloads it.
[[nodiscard]] WinError PrepareNewHive(const AccountServices& services, const platform::Sid& account,
                                      TextView folder);

// Fills the new profile folder `folder` from the Default profile folder
// `source`; false when something was not copied.
using ProfileCopy = std::function<bool(TextView source, TextView folder)>;

// How setting up a profile folder went.
struct ProfileSetup {
  // The folder, its owner, its profile-list entry and the prepared hive:
  // the first failure. kErrorAccessDenied when the folder may not hold a
  // profile (a drive root, a folder of the system or of every account,
  // another account's profile); nothing was done then.
  WinError details = kErrorSuccess;
  // The copy of the Default profile into a folder without a hive:
  // kErrorFileNotFound when there was no Default profile hive to copy or
  // the copy left none, kErrorGenFailure when some of it was not copied.
  WinError copy = kErrorSuccess;
};

// The folder new profiles are filled from: the system's Default profile
// folder, else the profile list's "Default" value, else its
// "DefaultUserProfile" name inside the profiles folder; expanded, without a
// trailing separator, empty when there is none.
[[nodiscard]] Text DefaultProfileFolder(const AccountServices& services);

// Sets up the local profile `folder` (expanded or not) of `account`: creates
// it with the profile access list (a folder already there keeps its list,
// and becomes the account's only while it is empty and owned by
// Administrators or SYSTEM) and makes the account its owner; records it in
// the profile list; and, when it holds no hive yet, fills it from the
// Default profile (through `copy` when given, so that moved shell folders
// receive their part; else everything keeps its place) and prepares the
// copied hive. A hive is never loaded from a file that isn't there.
[[nodiscard]] ProfileSetup SetUpLocalProfile(const AccountServices& services,
                                             const platform::Sid& account, TextView folder,
                                             const ProfileCopy& copy = {});

// Sets up the roaming profile `folder` (expanded or not) of `account` as
// SetUpLocalProfile does its local one, except in the profile list, where
// only the account's preference for it ("UserPreference") is recorded: the
// path itself belongs to the account's own data.
[[nodiscard]] ProfileSetup SetUpRoamingProfile(const AccountServices& services,
                                               const platform::Sid& account, TextView folder,
                                               uint32_t preference, const ProfileCopy& copy = {});

// Creates a new folder for the profile of `name` in the profiles folder
// (made with its parents when missing): "name", or else the first free of
// "name.0001", "name.0002", ... It gets `entries` as its access list. The
// path last tried goes into `profile`; a failure other than an existing
// folder ends the search. Setting the access list of a folder made goes into
// `secured` when given; it fails nothing.
[[nodiscard]] WinError MakeProfileFolder(const AccountServices& services, TextView name,
                                         std::span<const platform::AccessEntry> entries,
                                         Text& profile, WinError* secured = nullptr);

// The folder MakeProfileFolder would make for `name` now: the first of its
// candidates that doesn't exist; empty when there is no profiles folder.
[[nodiscard]] Text PlannedProfileFolder(const AccountServices& services, TextView name);

// Deletes the profile of `name` on `server`: its folder, when that lies
// strictly inside the profiles folder, is none of the profiles every account
// shares (Default, Public, ProgramData) and no other account's, and its
// profile-list entry once the folder is gone (the system's DeleteProfileW
// first, else folder by folder; links inside are removed without following
// them). A loaded profile is left alone. false when the name doesn't
// resolve or the profile list can't be opened.
bool DeleteProfile(const AccountServices& services, TextView server, TextView name);
// The same for the account whose SID is `sid`, which may be gone already:
// its profile can then be removed only once the account delete succeeded.
// False also when the profile is loaded, its folder is kept for one of the
// reasons above, or the folder or the entry could not be removed.
bool DeleteProfileOf(const AccountServices& services, const platform::Sid& sid);

}  // namespace tarn::accounts
