// The accounts whose shell folders differ from the system's defaults, which
// the account list page shows for confirmation before it lets the user on.
#pragma once

#include <vector>

#include "accounts/user_account.h"
#include "base/text.h"
#include "resource.h"
#include "run/installation_variables.h"

namespace tarn::wizard {

// Translation text of folder i's display name: this number plus i.
inline constexpr uint32_t kShellFolderNameTextBase = IDS_SHELL_FOLDER_NAME_FIRST;

// One folder that differs: its display name and its path as the account
// will see it (expanded).
struct ChangedFolder {
  Text name;
  Text path;
};

// One account's differing folders, in folder index order.
struct ChangedAccount {
  Text name;
  std::vector<ChangedFolder> folders;
};

// The accounts in list order; only those with at least one changed folder.
using ChangedFolders = std::vector<ChangedAccount>;

// Compares each account's folders with the defaults (ignoring case, both in
// the placeholder form). The settings page's account counts only while it
// is the primary account. Each account's paths are expanded with its
// account variables set; the process environment is restored afterwards.
[[nodiscard]] ChangedFolders FindChangedSystemFolders(const run::VariableContext& context,
                                                      const accounts::UserAccountList& list);

}  // namespace tarn::wizard
