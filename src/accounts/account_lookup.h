// Filling a record from an account that already exists on the computer.
#pragma once

#include "accounts/account_services.h"
#include "accounts/user_account.h"

namespace tarn::accounts {

// Fills `account` from the account `OldName` on the server `Domain`: texts and
// flags, the group from the privilege level, the welcome-screen setting, the
// profile paths, the private variables and shell folders from its hive; the
// password becomes "*" (keep). Returns true when the account exists; false
// leaves the record unchanged.
bool LookUpAccount(const AccountServices& services, UserAccount& account);

// True when a local account named `name` exists.
[[nodiscard]] bool AccountExists(const AccountServices& services, TextView name);

}  // namespace tarn::accounts
