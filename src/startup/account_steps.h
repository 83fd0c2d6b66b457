// The account steps of a real run: the scrambling modes, the environment
// section, the users section, and the merging of the built-in administrator
// and the settings page's account into the list this object owns.
#pragma once

#include "accounts/account_services.h"
#include "accounts/user_account.h"
#include "base/text.h"
#include "resource.h"
#include "run/installation_variables.h"
#include "startup/startup_hosts.h"

namespace tarn::startup {

// Translation text: the description given to the settings page's account.
inline constexpr uint32_t kSettingsAccountComment = IDS_SETTINGS_ACCOUNT_COMMENT;

// The services of the account code over the application context.
[[nodiscard]] accounts::AccountServices ServicesOf(AppContext& app);
// The installation variables' context over the application context, with
// the defaults of new records from `store`.
[[nodiscard]] run::VariableContext VariablesOf(AppContext& app, accounts::AccountStore& store);

class AccountStartupSteps : public AccountSteps {
 public:
  void ScramblePasswords(AppContext& app, TextView usersPath) override;
  void UnscramblePasswords(AppContext& app, TextView usersPath) override;
  [[nodiscard]] WinError DowngradeAccount(AppContext& app, TextView accountName) override;
  void PrepareInstallationVariables(AppContext& app, TextView iniPath) override;
  void ReadAccounts(AppContext& app, TextView usersPath) override;
  void MergeAdministratorAccount(AppContext& app) override;
  void MergeSettingsAccount(AppContext& app) override;
  void ReleaseAccounts(AppContext& app) override;

  // The account list of the run with the defaults of new records; the
  // wizard edits it and the run applies it.
  [[nodiscard]] accounts::AccountStore& store() { return store_; }

 private:
  accounts::AccountStore store_;
};

}  // namespace tarn::startup
