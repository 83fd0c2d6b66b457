// Merging the built-in administrator and the settings page's account into the
// account list read from the users section.
#pragma once

#include <optional>

#include "accounts/account_services.h"
#include "accounts/user_account.h"
#include "base/text.h"

namespace tarn::accounts {

// The present name of the machine's built-in administrator (RID 500),
// whatever it was renamed to; empty when it can't be found.
[[nodiscard]] Text BuiltinAdministratorName(const AccountServices& services);

// Adds the administrator record: merged with a record of the list that
// already names `admin` or the built-in administrator, renamed to `admin`
// when that is given, with `adminPassword` or "*" (keep).
void MergeAdministrator(const AccountServices& services, AccountStore& store, TextView admin,
                        const std::optional<TextView>& adminPassword);

// Marks the first primary record (or a new one) as the settings page's
// account; with `useCurrent` it stops being primary, otherwise it is primary
// with `comment` when it has none and the default flags when it has none.
void MergeSettingsAccount(const AccountServices& services, AccountStore& store, bool useCurrent,
                          TextView comment);

}  // namespace tarn::accounts
