// What the account worker decides for each record, and the plan built from
// those same decisions: what a run would do to each account of the list on
// a machine, without changing anything there.
//
// The text form, one block per account in list order:
//
//   accounts <N>
//   <create|change|delete|leave>\t<name>[\t<old name> -> <name>]
//     password\t<set|kept>
//     flags\t<8 hex digits>\tcomment\t<comment>\tfull name\t<full name>
//     group\t+<SID> <name>\t-<SID> <name>     (or "group\tunchanged")
//     deny-logon\t<dropped when held directly|unchanged>
//     profile\t<new|existing>\t<folder>
//     home\t<folder>
//     folder\t<shell folder>\t<path after placeholders or "(refused)">
//     variable\t<name>\t<value>
//
// A deleted account shows only its first line and "profile\tremoved after
// the account". Passwords are never shown, only whether one is set.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "accounts/account_security.h"
#include "accounts/account_services.h"
#include "accounts/user_account.h"
#include "app/install_config.h"
#include "app/log_file.h"
#include "platform/registry.h"

namespace tarn::run {

// What the run does with a record.
enum class AccountAction { kLeave, kCreate, kChange, kDelete };

// The settings page's own account is left alone unless it installs; a
// deleted record is deleted; one that was found on the machine is changed;
// the rest are created.
[[nodiscard]] AccountAction ActionOf(const accounts::UserAccount& account);

// The flags an account is created and changed with: always a normal account
// that runs its logon script, plus what the record asks for.
[[nodiscard]] uint32_t AccountFlags(const accounts::UserAccount& account);

// True when an existing account takes another name (not only another case).
[[nodiscard]] bool RenamesAccount(const accounts::UserAccount& account);

// True when the record ends the account outside Administrators: Group 0
// takes it out now, or for a primary account at its downgrade.
[[nodiscard]] bool LeavesAdministrators(const accounts::UserAccount& account);

// True when the record gives a password; "*" keeps the current one.
[[nodiscard]] bool SetsPassword(const accounts::UserAccount& account);

// The welcome-screen value the account ends with: the record's, or for a
// renamed account whose record leaves it unchanged the one stored under its
// old name.
[[nodiscard]] int32_t WelcomeScreenOf(platform::Registry& registry,
                                      const accounts::UserAccount& account, bool renamed);

// True when the deny-logon right is withdrawn (where the account holds it
// itself): a primary account, or one shown on the welcome screen.
[[nodiscard]] bool DropsDenyLogon(const accounts::UserAccount& account, int32_t welcome);

// Sets the process variables that name the account before its steps: the
// account group of variables (names only), the system's USERPROFILE,
// USERDOMAIN, HOMEPATH and HOMEDRIVE removed, ThisUser and USERNAME. A
// variable that could not be set is a warning in `log`, when given.
void EnterAccountVariables(const accounts::AccountServices& services, app::InstallConfig* config,
                           const accounts::UserAccount& account, app::LogFile* log = nullptr);

// One shell folder the record places.
struct PlannedFolder {
  Text name;
  Text asked;  // as the record gives it
  Text path;   // after placeholders and expansion; empty when refused
};

// What the run would do to one account.
struct PlannedAccount {
  AccountAction action = AccountAction::kLeave;
  Text name;
  Text oldName;
  bool renamed = false;
  bool password = false;
  uint32_t flags = 0;
  Text comment;
  Text fullName;
  std::optional<accounts::GroupChange> group;
  Text joinName;  // display names on the machine; empty when unknown
  Text leaveName;
  bool dropsDenyLogon = false;
  bool newProfile = false;
  Text profile;
  // The folder a new profile is filled from (the Default profile); empty for
  // an existing profile or when the machine has none.
  Text profileSource;
  Text home;
  std::vector<PlannedFolder> folders;
  std::vector<std::pair<Text, Text>> variables;
};

// The plan of every record of `list`, in list order. Reads the machine
// only; the environment's variables of the account are set as the run sets
// them, so placeholders read as they would there.
[[nodiscard]] std::vector<PlannedAccount> PlanAccounts(const accounts::AccountServices& services,
                                                       const accounts::UserAccountList& list);

// The text form described above, UTF-8.
[[nodiscard]] std::string AccountPlanText(const std::vector<PlannedAccount>& plan);

// The same facts as a JSON array, UTF-8:
// [{"action":"create","name":"anna","oldName":"anna","renamed":false,
//   "password":true,"flags":66081,"comment":"","fullName":"",
//   "group":{"privilege":2,"join":"S-1-5-32-544","joinName":"Administrators",
//   "leave":"S-1-5-32-545","leaveName":"Users"},"dropsDenyLogon":false,
//   "profile":{"new":true,"folder":"..."},"home":"...",
//   "folders":[{"name":"Personal","asked":"...","path":"..."}],
//   "variables":[{"name":"...","value":"..."}]}]
// where "group" is null when unchanged and a refused folder's "path" null.
[[nodiscard]] std::string AccountPlanJson(const std::vector<PlannedAccount>& plan);

}  // namespace tarn::run
