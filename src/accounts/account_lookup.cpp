#include "accounts/account_lookup.h"

#include "accounts/account_profiles.h"
#include "accounts/account_records.h"
#include "accounts/shell_folder_table.h"
#include "accounts/shell_folders.h"
#include "accounts/user_environment.h"
#include "platform/accounts.h"

namespace tarn::accounts {

namespace {

int32_t GroupFromPrivilege(uint32_t privilege) {
  if (privilege == platform::kUserPrivAdmin) return kGroupAdministrators;
  if (privilege == platform::kUserPrivUser) return kGroupUsers;
  return kGroupUnchanged;
}

void TakeDetails(UserAccount& account, const platform::UserInfo& info) {
  account.Comment = info.comment;
  account.FullName = info.fullName;
  account.Home = info.homeDir;
  account.Script = info.scriptPath;
  account.Status = NormaliseStatus(info.flags);
  account.DetailsLoaded = 1;
  account.Exists = 1;
  account.Deleted = 0;
  account.Password = kKeepPassword;
  account.PasswordGiven = 0;
  account.Group = GroupFromPrivilege(info.privilege);
}

void TakeBuiltinFolders(const AccountServices& services, UserAccount& account) {
  const ShellFolderPaths folders = BuiltinFoldersInPlaceholderForm(services);
  for (size_t i = 0; i < kShellFolderCount; ++i) account.ShellFolders[i] = folders[i];
}

// Variables and folders from the hive of the account `sid`; false when it
// doesn't load.
bool TakeHiveSettings(const AccountServices& services, const platform::Sid& sid,
                      UserAccount& account) {
  const auto hive = LoadUserHive(services, sid, account.Profile.view());
  if (!hive) return false;
  platform::Registry& registry = *services.platform.registry;
  ReadHiveVariables(registry, *hive, account);
  ShellFolderPaths folders = ReadShellFoldersOrDefaults(services, *hive);
  const AccountFolderValues values{account.Profile.view(), account.Home.view(),
                                   account.Name.view()};
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    Text present;
    // A folder the account put outside its profile and home is not taken
    // into the record: the run would act on it with the program's rights.
    if (ReadShellFolder(registry, *hive, i, present) && !TrustedHiveFolder(present, values)) {
      account.ShellFolders[i] = TextView();
      continue;
    }
    ToAccountPlaceholders(folders[i]);
    account.ShellFolders[i] = folders[i];
  }
  (void)UnloadUserHive(services, sid, *hive);
  return true;
}

}  // namespace

bool LookUpAccount(const AccountServices& services, UserAccount& account) {
  auto info =
      services.platform.accounts->GetUserInfo(platform::kLocalComputer, account.OldName.view(), 3);
  if (!info) return false;
  TakeDetails(account, *info);
  account.ShowOnWelcome = services.platform.registry
                              ? ReadWelcomeScreen(*services.platform.registry, account.Name.view())
                              : kWelcomeUnchanged;
  const auto sid = ResolveAccountSid(services, u"", account.OldName.view());
  const auto profile = FindProfile(services, account.OldName.view(), sid);
  account.Profile = profile ? TextView(profile->localPath) : TextView();
  account.RoamingProfile = profile ? TextView(profile->roamingPath) : TextView();
  account.HasRoamingProfile = profile ? static_cast<int32_t>(profile->preference) : 0;
  ClearVariables(account);
  if (!profile || !sid || !TakeHiveSettings(services, *sid, account)) {
    TakeBuiltinFolders(services, account);
  }
  RecomputeChildrenMasks(account);
  return true;
}

bool FillFromExistingAccount(const AccountServices& services, UserAccount& account) {
  const TextView name = account.Exists != 0 && !account.OldName.empty() ? account.OldName.view()
                                                                        : account.Name.view();
  auto info = services.platform.accounts->GetUserInfo(platform::kLocalComputer, name, 3);
  if (!info) return false;
  const auto fill = [](auto& field, TextView system) {
    if (field.empty()) field = system;
  };
  fill(account.FullName, info->fullName);
  fill(account.Comment, info->comment);
  fill(account.Home, info->homeDir);
  fill(account.Script, info->scriptPath);
  if (account.Status == 0 || account.DetailsLoaded == 0) {
    account.Status = NormaliseStatus(info->flags);
  }
  // A new folder would leave the account's own profile behind, and its
  // settings with it.
  if (account.Profile.empty()) {
    const auto profile = FindProfile(services, name, ResolveAccountSid(services, u"", name));
    if (profile) account.Profile = profile->localPath;
  }
  return true;
}

bool AccountExists(const AccountServices& services, TextView name) {
  return services.platform.accounts->GetUserInfo(u"", name, 0).ok();
}

}  // namespace tarn::accounts
