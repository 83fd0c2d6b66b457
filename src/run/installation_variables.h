// The installation variables: process environment variables that describe
// the computer, the account that installs and the configuration file's own
// definitions, for the values the program expands and the commands it starts.
#pragma once

#include "accounts/account_services.h"
#include "accounts/user_account.h"
#include "app/install_config.h"
#include "app/log_file.h"
#include "base/fixed_text.h"
#include "base/text.h"

namespace tarn::run {

// What the setters work on: the machine and texts, the settings record whose
// identity fields they fill, the defaults whose folder paths the
// environment section sets, and the log that hears of a variable that could
// not be set (none: nobody hears).
struct VariableContext {
  accounts::AccountServices services;
  app::InstallConfig* config = nullptr;
  accounts::UserDefaults* defaults = nullptr;
  app::LogFile* log = nullptr;
};

inline constexpr char16_t kEnvironmentSection[] = u"environment";

// Removes the account variables, then applies the environment section of
// `iniPath` line by line in file order: registry values (HKLM:/HKCU:),
// version look-ups ("?version.", "?version", "?productversion",
// "?fileversion"), shell folder defaults for new accounts, plain values.
void LoadEnvironmentSection(const VariableContext& context, TextView iniPath);

// Sets the account group of variables from `account`; with `nameOnly` the
// home and profile variables are left as they are. USERPASSWORD is removed:
// the password is given only to commands started as the account, in their
// own block. Always true.
bool SetAccountVariables(const VariableContext& context, const accounts::UserAccount& account,
                         bool nameOnly);

// Sets the account group of variables for the account the program runs as
// (which has no USERPASSWORD).
void SetLoggedOnUserVariables(const VariableContext& context);

// Sets the 22 shell folder variables from the current user's registry, with
// %USERPROFILE% and %USERNAME% replaced by `profile` and `userName`.
void SetShellFolderVariables(const VariableContext& context, TextView profile, TextView userName);

// Fills `workgroup` with the workgroup or domain the computer belongs to;
// true when filled.
bool FillWorkgroupFromSystem(const platform::Platform& platform, FixedText<15>& workgroup);

// Reads RegisteredOwner / RegisteredOrganization into the fields given
// (each may be null), at most 129 characters each; true when the key opened.
bool FillOwnerFromRegistry(const platform::Platform& platform, FixedText<260>* owner,
                           FixedText<260>* organisation);

// Fills empty identity fields of the settings from the system and sets
// WorkGroupName, OwnerName and OrgName.
void SetIdentityVariables(const VariableContext& context);

// HOMEDRIVE and HOMEPATH of a home folder: its first two characters and the
// rest, split by position.
struct HomeSplit {
  Text drive;
  Text path;
};
[[nodiscard]] HomeSplit SplitHome(TextView home);

}  // namespace tarn::run
