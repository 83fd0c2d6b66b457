// Creating and copying account records and keeping their shell folder masks.
#pragma once

#include "accounts/account_services.h"
#include "accounts/shell_folder_table.h"
#include "accounts/user_account.h"

namespace tarn::accounts {

// A record with the defaults, at the head of the list: Index -1, the
// defaults' flags and set texts, the folder parents and initial children
// masks, and each folder's default (the defaults' path, else the built-in one
// in placeholder form); then the masks are recomputed.
UserAccount& NewAccount(const AccountServices& services, AccountStore& store);

// The folder paths a new record gets: for each folder the defaults' path when
// set (unchanged), else the built-in default in placeholder form. The
// built-in defaults are read only when one is needed.
[[nodiscard]] ShellFolderPaths DefaultFoldersForNewAccount(const AccountServices& services,
                                                           const UserDefaults& defaults);

// Every folder's built-in default in placeholder form (empty when there is
// none).
[[nodiscard]] ShellFolderPaths BuiltinFoldersInPlaceholderForm(const AccountServices& services);

// The parents of the shell folder table and the children masks that go with
// them at creation.
void SetInitialFolderLinks(UserAccount& account);

// For each folder i with a parent p: sets bit (1 << i) of p's children mask
// when i's path up to its last component is empty or lies in p's path
// (ignoring case), clears it otherwise.
void RecomputeChildrenMasks(UserAccount& account);

// Copies every field but the list link, the environment through SyncVariables.
void CopyAccount(UserAccount& target, const UserAccount& source);

}  // namespace tarn::accounts
