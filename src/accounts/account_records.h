// Creating and copying account records and keeping their shell folder masks.
#pragma once

#include "accounts/account_services.h"
#include "accounts/user_account.h"

namespace tarn::accounts {

// A record with the defaults, at the head of the list: Index -1, the
// defaults' flags and set texts, the folder parents and initial children
// masks, and each folder's default (the defaults' path, else the built-in one
// in placeholder form); then the masks are recomputed.
UserAccount& NewAccount(const AccountServices& services, AccountStore& store);

// The folder path a new record gets for folder `index`: the defaults' path
// when set (unchanged), else the built-in default in placeholder form.
[[nodiscard]] Text DefaultFolderForNewAccount(const AccountServices& services,
                                              const UserDefaults& defaults, size_t index);

// The built-in default of folder `index` in placeholder form (empty when
// there is none).
[[nodiscard]] Text BuiltinFolderInPlaceholderForm(const AccountServices& services, size_t index);

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
