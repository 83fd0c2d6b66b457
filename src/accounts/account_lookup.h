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

// Before a record is applied to an account that is already on the computer
// (`OldName` when the record says it exists, else `Name`, on `Domain`):
// each of Profile (from the profile list), FullName, Comment, Home and Script
// that the record leaves empty takes the account's own, and so do the flags
// when nobody chose them (Status 0, or a record whose details were never
// looked up). The password, typed or kept, stays as it is. Returns true when
// the account exists; false leaves the record unchanged.
bool FillFromExistingAccount(const AccountServices& services, UserAccount& account);

// True when a local account named `name` exists.
[[nodiscard]] bool AccountExists(const AccountServices& services, TextView name);

}  // namespace tarn::accounts
