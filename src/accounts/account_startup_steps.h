// The start-up steps that belong to the accounts and the installation
// variables: the scrambling modes, the environment section, the users
// section, and the merging of the built-in administrator and the settings
// page's account into the list. A program's start-up extensions derive from
// this class (and add the wizard and user-interface steps).
#pragma once

#include "accounts/account_services.h"
#include "base/text.h"
#include "run/installation_variables.h"
#include "startup/later_steps.h"

namespace tarn {
struct AppContext;
}

namespace tarn::accounts {

// Translation text: the description given to the settings page's account.
inline constexpr uint32_t kSettingsAccountComment = 173;

// The services of the account code over the application context.
[[nodiscard]] AccountServices ServicesOf(AppContext& app);
// The installation variables' context over the application context.
[[nodiscard]] run::VariableContext VariablesOf(AppContext& app);

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

class AccountStartupSteps : public startup::StartupExtensions {
 public:
  void ScramblePasswords(AppContext& app, TextView usersPath) override;
  void UnscramblePasswords(AppContext& app, TextView usersPath) override;
  void PrepareInstallationVariables(AppContext& app, TextView iniPath) override;
  void ReadAccounts(AppContext& app, TextView usersPath) override;
  void MergeAdministratorAccount(AppContext& app) override;
  void MergeSettingsAccount(AppContext& app) override;
  void ReleaseAccounts(AppContext& app) override;
};

}  // namespace tarn::accounts
