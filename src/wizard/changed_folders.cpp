#include "wizard/changed_folders.h"

#include "accounts/shell_folder_table.h"
#include "platform/environment.h"

namespace tarn::wizard {
namespace {

// The defaults in the form the records hold: the account placeholders in
// place of the system's own variables. Independent of the account, so read
// once for the whole list.
accounts::ShellFolderPaths DefaultsInRecordForm(const accounts::AccountServices& services) {
  accounts::ShellFolderPaths defaults = accounts::ReadDefaultShellFolders(services);
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    if (defaults[i].empty()) {
      defaults[i] =
          services.TextOf(accounts::kShellFolderDefaultTextBase + static_cast<uint32_t>(i));
    }
    accounts::ToAccountPlaceholders(defaults[i]);
  }
  return defaults;
}

// True for the settings page's own account while another account is the
// primary one: its folders are not this page's business then.
bool Skipped(const accounts::UserAccount& account) {
  return account.SettingsAccount != 0 && account.Primary == 0;
}

ChangedAccount CompareAccount(const run::VariableContext& context,
                              const accounts::UserAccount& account,
                              const accounts::ShellFolderPaths& defaults) {
  (void)run::SetAccountVariables(context, account, /*nameOnly=*/true);
  ChangedAccount changed{Text(account.Name.view()), {}};
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    const TextView path = account.ShellFolders[i].view();
    // An empty path leaves the folder where the system keeps it.
    if (path.empty() || EqualsIgnoreCase(path, defaults[i])) continue;
    const uint32_t nameText = kShellFolderNameTextBase + static_cast<uint32_t>(i);
    Text expanded = context.services.platform.environment
                        ->Expand(path, static_cast<uint32_t>(accounts::kPathCapacity))
                        .text;
    changed.folders.push_back({context.services.TextOf(nameText), std::move(expanded)});
  }
  return changed;
}

}  // namespace

ChangedFolders FindChangedSystemFolders(const run::VariableContext& context,
                                        const accounts::UserAccountList& list) {
  ChangedFolders found;
  if (list.empty()) return found;
  const accounts::ShellFolderPaths defaults = DefaultsInRecordForm(context.services);
  // Each account's variables are set only to expand its paths; the wizard
  // keeps the environment it had.
  platform::Environment& environment = *context.services.platform.environment;
  const platform::EnvironmentBlock before = environment.CurrentBlock();
  for (const accounts::UserAccount& account : list) {
    if (Skipped(account)) continue;
    ChangedAccount changed = CompareAccount(context, account, defaults);
    if (!changed.folders.empty()) found.push_back(std::move(changed));
  }
  (void)environment.ReplaceBlock(before);
  return found;
}

}  // namespace tarn::wizard
