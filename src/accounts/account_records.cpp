#include "accounts/account_records.h"

#include "accounts/shell_folder_table.h"
#include "accounts/user_environment.h"

namespace tarn::accounts {

namespace {

template <class Field, class Default>
void CopyIfSet(Field& field, const Default& value) {
  if (value) field = value->view();
}

// Characters of `path` before its last component (its last backslash
// included), 0 when there is no backslash.
size_t ParentLength(TextView path) {
  const size_t slash = path.find_last_of(u'\\');
  return slash == TextView::npos ? 0 : slash + 1;
}

}  // namespace

ShellFolderPaths BuiltinFoldersInPlaceholderForm(const AccountServices& services) {
  ShellFolderPaths paths = ReadDefaultShellFolders(services);
  for (Text& path : paths) ToAccountPlaceholders(path);
  return paths;
}

ShellFolderPaths DefaultFoldersForNewAccount(const AccountServices& services,
                                             const UserDefaults& defaults) {
  std::optional<ShellFolderPaths> builtin;
  ShellFolderPaths paths;
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    if (defaults.ShellFolders[i]) {
      paths[i] = defaults.ShellFolders[i]->str();
      continue;
    }
    if (!builtin) builtin = BuiltinFoldersInPlaceholderForm(services);
    paths[i] = std::move((*builtin)[i]);
  }
  return paths;
}

void SetInitialFolderLinks(UserAccount& account) {
  account.ShellFolderChildren.fill(0);
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    const auto parent = DefaultShellFolderParent(i);
    account.ShellFolderParent[i] = parent ? static_cast<int32_t>(*parent) : 0;
    if (parent) account.ShellFolderChildren[*parent] |= 1u << i;
  }
}

void RecomputeChildrenMasks(UserAccount& account) {
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    const auto parent = DefaultShellFolderParent(i);
    if (!parent) continue;
    const TextView child = account.ShellFolders[i].view();
    const TextView container = account.ShellFolders[*parent].view();
    const size_t d = ParentLength(child);
    const bool inside = d == 0 || StartsWithIgnoreCase(container, child.substr(0, d - 1));
    if (inside) {
      account.ShellFolderChildren[*parent] |= 1u << i;
    } else {
      account.ShellFolderChildren[*parent] &= ~(1u << i);
    }
  }
}

UserAccount& NewAccount(const AccountServices& services, AccountStore& store) {
  UserAccount& account = store.list.AddBlank();
  const UserDefaults& defaults = store.defaults;
  account.Index = -1;
  account.Status = defaults.Status;
  account.Group = defaults.Group;
  account.Deleted = defaults.Deleted;
  account.ShowOnWelcome = defaults.ShowOnWelcome;
  CopyIfSet(account.FullName, defaults.FullName);
  CopyIfSet(account.Comment, defaults.Comment);
  CopyIfSet(account.Domain, defaults.Domain);
  CopyIfSet(account.Password, defaults.Password);
  CopyIfSet(account.Script, defaults.Script);
  CopyIfSet(account.Profile, defaults.Profile);
  CopyIfSet(account.RoamingProfile, defaults.RoamingProfile);
  CopyIfSet(account.Home, defaults.Home);
  SetInitialFolderLinks(account);
  const ShellFolderPaths folders = DefaultFoldersForNewAccount(services, defaults);
  for (size_t i = 0; i < kShellFolderCount; ++i) account.ShellFolders[i] = folders[i];
  RecomputeChildrenMasks(account);
  return account;
}

void CopyAccount(UserAccount& target, const UserAccount& source) {
  if (&target == &source) return;
  target.Domain = source.Domain.view();
  target.Name = source.Name.view();
  target.FullName = source.FullName.view();
  target.Password = source.Password.view();
  target.Home = source.Home.view();
  target.Comment = source.Comment.view();
  target.Script = source.Script.view();
  target.Profile = source.Profile.view();
  target.RoamingProfile = source.RoamingProfile.view();
  target.OldName = source.OldName.view();
  target.HasRoamingProfile = source.HasRoamingProfile;
  target.Status = source.Status;
  target.Group = source.Group;
  target.Primary = source.Primary;
  target.SettingsAccount = source.SettingsAccount;
  target.Exists = source.Exists;
  target.Index = source.Index;
  target.Deleted = source.Deleted;
  target.PasswordGiven = source.PasswordGiven;
  target.EditPending = source.EditPending;
  target.DetailsLoaded = source.DetailsLoaded;
  target.EnvironmentLoaded = source.EnvironmentLoaded;
  target.ShowOnWelcome = source.ShowOnWelcome;
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    target.ShellFolders[i] = source.ShellFolders[i].view();
  }
  target.ShellFolderChildren = source.ShellFolderChildren;
  target.ShellFolderParent = source.ShellFolderParent;
  SyncVariables(target, source);
}

}  // namespace tarn::accounts
