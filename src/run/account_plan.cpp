#include "run/account_plan.h"

#include <cstdio>

#include "accounts/account_lookup.h"
#include "accounts/account_records.h"
#include "accounts/profile_setup.h"
#include "accounts/shell_folder_table.h"
#include "accounts/shell_folders.h"
#include "base/shell_folder_names.h"
#include "catalogue/plan_view.h"
#include "platform/accounts.h"
#include "platform/environment.h"
#include "run/installation_variables.h"

namespace tarn::run {

namespace {

using accounts::UserAccount;

constexpr uint32_t kUfScript = 0x1;
constexpr uint32_t kExpandCapacity = 512;

Text Expanded(platform::Environment& environment, TextView text, uint32_t capacity) {
  return environment.Expand(text, capacity).text;
}

// The profile and home folders as the worker settles them.
void PlanFolders(const accounts::AccountServices& services, const UserAccount& account,
                 PlannedAccount& plan) {
  platform::Environment& environment = *services.platform.environment;
  plan.profile = Expanded(environment, account.Profile.view(), kExpandCapacity);
  plan.newProfile = plan.profile.empty();
  if (plan.newProfile) {
    plan.profile = accounts::PlannedProfileFolder(services, account.Name.view());
    plan.profileSource = accounts::DefaultProfileFolder(services);
  }
  (void)environment.Set(u"ThisProfile", TextView(plan.profile));
  const Text home = Expanded(environment, account.Home.view(), kExpandCapacity);
  plan.home = home.empty()
                  ? plan.profile
                  : Expanded(environment, home, static_cast<uint32_t>(accounts::kPathCapacity));
  (void)environment.Set(u"ThisHome", TextView(plan.home));
  const accounts::AccountFolderValues values{plan.profile, plan.home, account.Name.view()};
  for (size_t j = 0; j < kShellFolderCount; ++j) {
    if (account.ShellFolders[j].empty()) continue;
    PlannedFolder folder{Text(ShellFolderNames()[j]), account.ShellFolders[j].str(), Text()};
    const auto path = accounts::ResolveAccountPath(environment, folder.asked, values);
    if (path) {
      folder.path = *path;
      // Later folders may name this one, as in the run.
      (void)environment.Set(folder.name, TextView(folder.path));
    }
    plan.folders.push_back(std::move(folder));
  }
}

PlannedAccount PlanOne(const accounts::AccountServices& services, const UserAccount& record) {
  PlannedAccount plan;
  plan.action = ActionOf(record);
  plan.name = record.Name.str();
  plan.oldName = record.OldName.str();
  if (plan.action != AccountAction::kCreate && plan.action != AccountAction::kChange) return plan;
  // The record as the worker applies it: an account that is already there
  // keeps what the record leaves empty.
  UserAccount account;
  accounts::CopyAccount(account, record);
  (void)accounts::FillFromExistingAccount(services, account);
  EnterAccountVariables(services, nullptr, account);
  plan.renamed = RenamesAccount(account);
  plan.password = SetsPassword(account);
  plan.flags = AccountFlags(account);
  plan.comment = account.Comment.str();
  plan.fullName = account.FullName.str();
  plan.group = accounts::GroupChangeOf(account.Group, account.Primary != 0);
  if (plan.group) {
    plan.joinName =
        accounts::GroupDisplayName(services, platform::kLocalComputer, plan.group->join);
    plan.leaveName =
        accounts::GroupDisplayName(services, platform::kLocalComputer, plan.group->leave);
  }
  plan.dropsDenyLogon =
      DropsDenyLogon(account, WelcomeScreenOf(*services.platform.registry, account, plan.renamed));
  PlanFolders(services, account, plan);
  for (const accounts::UserVariable& variable : account.Environment) {
    plan.variables.emplace_back(variable.name.str(), variable.value.str());
  }
  return plan;
}

const char* ActionName(AccountAction action) {
  switch (action) {
    case AccountAction::kCreate:
      return "create";
    case AccountAction::kChange:
      return "change";
    case AccountAction::kDelete:
      return "delete";
    case AccountAction::kLeave:
      break;
  }
  return "leave";
}

std::string Hex8(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%08X", value);
  return buffer;
}

std::string GroupText(const PlannedAccount& p) {
  if (!p.group) return "unchanged";
  return "+" + ToUtf8(p.group->join.ToText()) + " " + catalogue::PlanField(p.joinName) + "\t-" +
         ToUtf8(p.group->leave.ToText()) + " " + catalogue::PlanField(p.leaveName);
}

std::string AccountText(const PlannedAccount& p) {
  using catalogue::PlanField;
  std::string out = std::string(ActionName(p.action)) + "\t" + PlanField(p.name);
  if (p.renamed) out += "\t" + PlanField(p.oldName) + " -> " + PlanField(p.name);
  out += "\n";
  if (p.action == AccountAction::kDelete) return out + "  profile\tremoved after the account\n";
  if (p.action == AccountAction::kLeave) return out;
  out += std::string("  password\t") + (p.password ? "set" : "kept") + "\n";
  out += "  flags\t" + Hex8(p.flags) + "\tcomment\t" + PlanField(p.comment) + "\tfull name\t" +
         PlanField(p.fullName) + "\n";
  out += "  group\t" + GroupText(p) + "\n";
  out += std::string("  deny-logon\t") +
         (p.dropsDenyLogon ? "dropped when held directly" : "unchanged") + "\n";
  out += std::string("  profile\t") + (p.newProfile ? "new" : "existing") + "\t" +
         PlanField(p.profile);
  if (p.newProfile) {
    out += "\tfrom\t" + (p.profileSource.empty() ? std::string("(no Default profile)")
                                                 : PlanField(p.profileSource));
  }
  out += "\n";
  out += "  home\t" + PlanField(p.home) + "\n";
  for (const PlannedFolder& f : p.folders) {
    out += "  folder\t" + PlanField(f.name) + "\t" +
           (f.path.empty() ? std::string("(refused)") : PlanField(f.path)) + "\n";
  }
  for (const auto& [name, value] : p.variables) {
    out += "  variable\t" + PlanField(name) + "\t" + PlanField(value) + "\n";
  }
  return out;
}

std::string Bool(bool value) {
  return value ? "true" : "false";
}

std::string GroupJson(const PlannedAccount& p) {
  using catalogue::PlanJsonString;
  if (!p.group) return "null";
  return "{\"privilege\":" + std::to_string(p.group->privilege) +
         ",\"join\":" + PlanJsonString(p.group->join.ToText()) +
         ",\"joinName\":" + PlanJsonString(p.joinName) +
         ",\"leave\":" + PlanJsonString(p.group->leave.ToText()) +
         ",\"leaveName\":" + PlanJsonString(p.leaveName) + "}";
}

std::string AccountJson(const PlannedAccount& p) {
  using catalogue::PlanJsonString;
  std::string out = "{\"action\":\"" + std::string(ActionName(p.action)) +
                    "\",\"name\":" + PlanJsonString(p.name) +
                    ",\"oldName\":" + PlanJsonString(p.oldName) + ",\"renamed\":" + Bool(p.renamed);
  if (p.action != AccountAction::kCreate && p.action != AccountAction::kChange) return out + "}";
  out +=
      ",\"password\":" + Bool(p.password) + ",\"flags\":" + std::to_string(p.flags) +
      ",\"comment\":" + PlanJsonString(p.comment) + ",\"fullName\":" + PlanJsonString(p.fullName) +
      ",\"group\":" + GroupJson(p) + ",\"dropsDenyLogon\":" + Bool(p.dropsDenyLogon) +
      ",\"profile\":{\"new\":" + Bool(p.newProfile) + ",\"folder\":" + PlanJsonString(p.profile) +
      ",\"source\":" + PlanJsonString(p.profileSource) + "},\"home\":" + PlanJsonString(p.home) +
      ",\"folders\":[";
  for (size_t i = 0; i < p.folders.size(); ++i) {
    const PlannedFolder& f = p.folders[i];
    out += std::string(i == 0 ? "" : ",") + "{\"name\":" + PlanJsonString(f.name) +
           ",\"asked\":" + PlanJsonString(f.asked) +
           ",\"path\":" + (f.path.empty() ? std::string("null") : PlanJsonString(f.path)) + "}";
  }
  out += "],\"variables\":[";
  for (size_t i = 0; i < p.variables.size(); ++i) {
    out += std::string(i == 0 ? "" : ",") + "{\"name\":" + PlanJsonString(p.variables[i].first) +
           ",\"value\":" + PlanJsonString(p.variables[i].second) + "}";
  }
  return out + "]}";
}

}  // namespace

AccountAction ActionOf(const UserAccount& account) {
  if (account.SettingsAccount != 0 && account.Primary == 0) return AccountAction::kLeave;
  if (account.Deleted != 0) return AccountAction::kDelete;
  return account.Exists != 0 ? AccountAction::kChange : AccountAction::kCreate;
}

uint32_t AccountFlags(const UserAccount& account) {
  return accounts::kUfNormalAccount | kUfScript | account.Status;
}

bool RenamesAccount(const UserAccount& account) {
  return account.Exists != 0 && !EqualsIgnoreCase(account.OldName.view(), account.Name.view());
}

bool LeavesAdministrators(const UserAccount& account) {
  return account.Group == accounts::kGroupUsers;
}

bool SetsPassword(const UserAccount& account) {
  return account.Password.view() != TextView(accounts::kKeepPassword);
}

int32_t WelcomeScreenOf(platform::Registry& registry, const UserAccount& account, bool renamed) {
  if (account.ShowOnWelcome == accounts::kWelcomeUnchanged && renamed) {
    return accounts::ReadWelcomeScreen(registry, account.OldName.view());
  }
  return account.ShowOnWelcome;
}

bool DropsDenyLogon(const UserAccount& account, int32_t welcome) {
  return account.Primary != 0 || welcome == 1;
}

void EnterAccountVariables(const accounts::AccountServices& services, app::InstallConfig* config,
                           const UserAccount& account, app::LogFile* log) {
  platform::Environment& environment = *services.platform.environment;
  (void)SetAccountVariables(VariableContext{services, config, nullptr, log}, account, true);
  auto set = [&environment, log](TextView name, std::optional<TextView> value) {
    const WinError error = environment.Set(name, value);
    // Removing a variable that isn't there (ERROR_ENVVAR_NOT_FOUND) is no failure.
    if (error == kErrorSuccess || log == nullptr || (!value && error == 203)) return;
    log->WriteFormat(app::kLogWarning, static_cast<int32_t>(error), u"Can't set the variable '%s'",
                     {name});
  };
  for (const char16_t* name : {u"USERPROFILE", u"USERDOMAIN", u"HOMEPATH", u"HOMEDRIVE"}) {
    set(name, std::nullopt);
  }
  set(u"ThisUser", account.Name.view());
  set(u"USERNAME", account.Name.view());
}

std::vector<PlannedAccount> PlanAccounts(const accounts::AccountServices& services,
                                         const accounts::UserAccountList& list) {
  std::vector<PlannedAccount> plan;
  for (const UserAccount& account : list) plan.push_back(PlanOne(services, account));
  return plan;
}

std::string AccountPlanText(const std::vector<PlannedAccount>& plan) {
  std::string out = "accounts " + std::to_string(plan.size()) + "\n";
  for (const PlannedAccount& p : plan) out += AccountText(p);
  return out;
}

std::string AccountPlanJson(const std::vector<PlannedAccount>& plan) {
  std::string out = "[";
  for (size_t i = 0; i < plan.size(); ++i) out += (i == 0 ? "" : ",") + AccountJson(plan[i]);
  return out + "]";
}

}  // namespace tarn::run
