// The account worker of the installation run: brings every account of the
// list onto the computer as its record describes it.
#pragma once

#include <cstdint>

#include "accounts/account_services.h"
#include "accounts/profile_setup.h"
#include "accounts/shell_folders.h"
#include "accounts/user_account.h"
#include "app/app_context.h"
#include "app/prompter.h"
#include "platform/security.h"
#include "run/run_services.h"

namespace tarn::run {

// Applies the records one after another, each to its end, in list order.
// A failure on one account is logged and never stops the others. Each
// record's end is reported: an account that is not there as asked afterwards
// (it could not be made, renamed or given a profile, or its profile drive was
// missing) is an error; one that is there but not set up in full (password
// or settings refused, profile settings not written) is a warning. Passwords
// are handed to the system straight from the records: the worker keeps no
// copy of its own, and the log only ever says that a password was set.
class SystemAccountWorker : public AccountWorker {
 public:
  // Uses the context's services, log, translator and Verbose setting; the
  // prompter answers the questions about missing or unformatted drives,
  // each of which answers Cancel by itself after `volumeTimeoutSeconds`
  // (0: it waits for a person).
  SystemAccountWorker(AppContext& app, app::Prompter& prompter, uint32_t volumeTimeoutSeconds = 0);

  void CreateUsers(accounts::UserAccountList& accounts, AccountProgress& progress) override;
  [[nodiscard]] WinError LowerToStandardUser(const accounts::UserAccount& account) override;

 private:
  [[nodiscard]] app::Outcome DeleteAccount(const accounts::UserAccount& account);
  // True, with an error line, when the account `name` must not be deleted
  // (`deleting`) or taken out of Administrators: it is the account the
  // program runs under or the last enabled administrator, or it exists but
  // that can't be ruled out.
  [[nodiscard]] bool Protected(TextView server, TextView name, bool deleting);
  [[nodiscard]] app::Outcome ApplyAccount(accounts::UserAccount& account,
                                          accounts::VolumeChecker& volumes);
  // Creates the account or changes the existing one; the first failure of
  // the calls made. `created` tells whether the account is now there,
  // `isNew` whether this call made it.
  [[nodiscard]] WinError CreateOrChange(const accounts::UserAccount& account, bool& created,
                                        bool& isNew);
  // Removes an account whose profile couldn't be set up, if the run made it.
  // Sets the account's roaming profile path and sets the folder up.
  void SetUpRoamingProfile(accounts::UserAccount& account, const platform::Sid& sid,
                           const accounts::ProfileCopy& copy);
  void DropNewAccount(const accounts::UserAccount& account, bool isNew);
  // What every folder made for the account `sid` gets: its owner and the
  // profile's access list; a failure is a warning.
  [[nodiscard]] accounts::LeafSecurity MadeFolderSecurity(const platform::Sid& sid);
  // Logs how setting up the local profile went; false when the account must
  // not go on: its folder may not be a profile, or the Default profile was
  // not copied into it.
  [[nodiscard]] bool ProfileReady(const accounts::UserAccount& account,
                                  const accounts::ProfileSetup& setup);
  void ApplyWelcomeScreen(const accounts::UserAccount& account, bool renamed);
  // The profile's settings; kWarning when they could not all be written.
  [[nodiscard]] app::Outcome SetUpHive(accounts::UserAccount& account, const platform::Sid& sid,
                                       accounts::VolumeChecker& volumes);
  void SetVariable(TextView name, TextView value);
  // Logs a step for `name` that failed as a warning; the remaining steps go
  // on. Nothing when `error` is success.
  void WarnIfFailed(WinError error, TextView step, TextView name);
  [[nodiscard]] Text ExpandText(TextView text, uint32_t capacity);
  [[nodiscard]] bool verbose() const { return (app_.config.Verbose & 1) != 0; }
  void Verbose(TextView format, std::initializer_list<FormatArg> args, int32_t code = 0);

  AppContext& app_;
  accounts::AccountServices services_;
  app::Prompter& prompter_;
  uint32_t volumeTimeoutSeconds_;
};

}  // namespace tarn::run
