// The start-up steps whose work belongs to other subsystems (accounts, the
// installation variables, the wizard and the user-interface libraries).
// RunStartup calls them at their place in the sequence; a subsystem provides
// its work by overriding the matching member. The defaults do nothing, and the
// default wizard ends as a cancelled one, so a program built with the defaults
// starts, reads its settings and ends without asking for a restart.
#pragma once

#include "base/text.h"

namespace tarn {
struct AppContext;
}

namespace tarn::startup {

// Result of a wizard that ended with Finish; anything else never restarts.
inline constexpr int kWizardFinished = 1;
inline constexpr int kWizardCancelled = 0;

class StartupExtensions {
 public:
  virtual ~StartupExtensions() = default;

  // /EncryptIni: scrambles the passwords of the users section of `usersPath`
  // (absolute). The program ends right after; nothing is logged or shown.
  virtual void ScramblePasswords(AppContext& /*app*/, TextView /*usersPath*/) {}
  // /DecryptIni: the reverse of ScramblePasswords, under the same rules.
  virtual void UnscramblePasswords(AppContext& /*app*/, TextView /*usersPath*/) {}

  // /DownGrade=: makes the named local account a limited user. Called from
  // inside the option pass (the log is not open, the settings are not read);
  // the program ends right after, whatever the outcome.
  virtual void DowngradeAccount(AppContext& /*app*/, TextView /*accountName*/) {}

  // Loads the message-box-with-time-out entry point and the user-interface
  // libraries the pages need. Called once after the Secondary Logon check.
  virtual void PrepareUserInterface(AppContext& /*app*/) {}

  // Loads the environment section of `iniPath` into the installation
  // variables (absolute path).
  virtual void PrepareInstallationVariables(AppContext& /*app*/, TextView /*iniPath*/) {}
  // Reads the users section of `usersPath` (absolute) into the account list.
  virtual void ReadAccounts(AppContext& /*app*/, TextView /*usersPath*/) {}
  // Merges the built-in administrator record from app.config.Admin /
  // AdminPwd / AdminPwdGiven. Called only when Admin is non-empty or
  // AdminPwdGiven is set.
  virtual void MergeAdministratorAccount(AppContext& /*app*/) {}
  // Marks (or creates) the account the settings page edits, honouring
  // app.config.UseCurrent.
  virtual void MergeSettingsAccount(AppContext& /*app*/) {}

  // Creates and runs the wizard until it closes, starting on
  // app.startPage. Returns the sheet's result: kWizardFinished allows the
  // restart, anything else does not.
  [[nodiscard]] virtual int RunWizard(AppContext& /*app*/) { return kWizardCancelled; }

  // Releases the account list. Called after the wizard has closed.
  virtual void ReleaseAccounts(AppContext& /*app*/) {}
  // Releases what PrepareUserInterface loaded. Called after the wizard has closed.
  virtual void ReleaseUserInterface(AppContext& /*app*/) {}
  // Writes the wizard's last size back when the settings ask for it. Called
  // after the log has been closed.
  virtual void SaveWizardSize(AppContext& /*app*/) {}
};

}  // namespace tarn::startup
