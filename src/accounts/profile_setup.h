// Setting up an account's profile before its first logon, deleting the
// profile of a removed account, and leaving a one-time command in a hive.
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
// the hive file it names), sets the profile access list on its root and the
// same list, marked inherited, on every key below, starts its shell folders
// from the system defaults, then unloads it.
[[nodiscard]] WinError PrepareNewHive(const AccountServices& services, const platform::Sid& account,
                                      TextView folder);

// Fills the new profile folder `folder` from the Default User folder
// `defaultUser`.
using ProfileCopy = std::function<void(TextView defaultUser, TextView folder)>;

// Sets up the local profile `folder` (expanded or not) of `account`: creates
// it with the profile access list (a folder already there keeps its list)
// and makes the account its owner; records it in the profile list; and,
// when it holds no hive yet, fills it from the Default User profile (through
// `copy` when given, so that moved shell folders receive their part; else
// everything keeps its place) and prepares the copied hive. The outcome of
// the profile-list and copy steps is not looked at, as for the system's own
// set-up.
[[nodiscard]] WinError SetUpLocalProfile(const AccountServices& services,
                                         const platform::Sid& account, TextView folder,
                                         const ProfileCopy& copy = {});

// Sets up the roaming profile `folder` (expanded or not) of `account` as
// SetUpLocalProfile does its local one, except in the profile list, where
// only the account's preference for it ("UserPreference") is recorded: the
// path itself belongs to the account's own data.
[[nodiscard]] WinError SetUpRoamingProfile(const AccountServices& services,
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
// strictly inside the profiles folder and is neither the Default User nor
// the All Users profile, and its profile-list entry. Links inside the
// folder are removed without following them. false when the name doesn't
// resolve or the profile list can't be opened.
bool DeleteProfile(const AccountServices& services, TextView server, TextView name);
// The same for the account whose SID is `sid`, which may be gone already:
// its profile can then be removed only once the account delete succeeded.
// False also when the folder or the entry could not be removed.
bool DeleteProfileOf(const AccountServices& services, const platform::Sid& sid);

// Leaves the command `"<program>" <arguments>` under the value
// "DowngradeTarnDefaultUser" of the RunOnce key of the loaded hive `hive`.
// kErrorInsufficientBuffer when the command would exceed 260 characters.
[[nodiscard]] WinError ScheduleDowngrade(const AccountServices& services, platform::RegKey hive,
                                         TextView arguments);

// The arguments that make the program turn `name` into a limited user.
[[nodiscard]] Text DowngradeArguments(TextView name);

}  // namespace tarn::accounts
