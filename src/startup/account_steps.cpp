#include "startup/account_steps.h"

#include "accounts/account_merging.h"
#include "accounts/account_security.h"
#include "accounts/password_scrambling.h"
#include "accounts/users_section.h"
#include "app/app_context.h"

namespace tarn::startup {

accounts::AccountServices ServicesOf(AppContext& app) {
  return accounts::AccountServices{app.platform,
                                   [&app](uint32_t id) { return app.translator.Translate(id); }};
}

run::VariableContext VariablesOf(AppContext& app, accounts::AccountStore& store) {
  return run::VariableContext{ServicesOf(app), &app.config, &store.defaults, &app.log};
}

// The warning names the account only: the password itself never reaches the log.
void AccountStartupSteps::ScramblePasswords(AppContext& app, TextView usersPath) {
  const auto leftPlain = [&app](TextView user) {
    app.log.WriteFormat(app::kLogWarning, 0,
                        u"The password of '%s' is longer than %d characters and stays unscrambled",
                        {user, static_cast<int32_t>(accounts::kLongestScrambledPassword)});
  };
  (void)accounts::EncryptUsers(*app.platform.profiles, usersPath, leftPlain);
  (void)accounts::EncryptSettingsPasswords(*app.platform.profiles, app.config.IniPath, leftPlain);
}

void AccountStartupSteps::UnscramblePasswords(AppContext& app, TextView usersPath) {
  (void)accounts::DecryptUsers(*app.platform.profiles, usersPath);
  (void)accounts::DecryptSettingsPasswords(*app.platform.profiles, app.config.IniPath);
}

WinError AccountStartupSteps::DowngradeAccount(AppContext& app, TextView accountName) {
  const WinError error = accounts::DowngradeAccount(ServicesOf(app), accountName);
  if (error == kErrorSuccess) return error;
  app.log.WriteFormat(app::kLogError, static_cast<int32_t>(error),
                      u"'%s' could not be made a standard user", {accountName});
  return error;
}

void AccountStartupSteps::PrepareInstallationVariables(AppContext& app, TextView iniPath) {
  run::LoadEnvironmentSection(VariablesOf(app, store_), iniPath);
}

void AccountStartupSteps::ReadAccounts(AppContext& app, TextView usersPath) {
  if (app.config.DefaultGroup) store_.defaults.Group = *app.config.DefaultGroup;
  accounts::ReadUsersSection(ServicesOf(app), usersPath, &store_);
}

void AccountStartupSteps::MergeAdministratorAccount(AppContext& app) {
  const std::optional<TextView> password =
      app.config.AdminPwdGiven ? std::optional<TextView>(app.config.AdminPwd.view()) : std::nullopt;
  accounts::MergeAdministrator(ServicesOf(app), store_, app.config.Admin.view(), password);
}

void AccountStartupSteps::MergeSettingsAccount(AppContext& app) {
  accounts::MergeSettingsAccount(ServicesOf(app), store_, app.config.UseCurrent,
                                 app.translator.Translate(kSettingsAccountComment));
}

void AccountStartupSteps::ReleaseAccounts(AppContext&) {
  store_.list.ClearAccounts();
}

}  // namespace tarn::startup
