// What start-up is handed to do the work that belongs to layers it does not
// own: the account steps (records, scrambling, installation variables) and
// the wizard host (the user interface). RunStartup calls them at their place
// in the sequence; each is a small interface so that a program, a tool or a
// test composes the pair it needs.
#pragma once

#include "base/result.h"
#include "base/text.h"

namespace tarn {
struct AppContext;
}

namespace tarn::startup {

// How the wizard ended; only kFinished allows the restart.
enum class WizardOutcome { kCancelled, kFinished };

class AccountSteps {
 public:
  virtual ~AccountSteps() = default;

  // /EncryptIni: scrambles the passwords of the users section of `usersPath`
  // (absolute). The program ends right after; nothing is shown.
  virtual void ScramblePasswords(AppContext& app, TextView usersPath) = 0;
  // /DecryptIni: the reverse of ScramblePasswords, under the same rules.
  virtual void UnscramblePasswords(AppContext& app, TextView usersPath) = 0;
  // /DownGrade=: makes the named local account a limited user. Called from
  // inside the option pass (the log is not open, the settings are not read);
  // the program ends right after. The error, logged, or success.
  [[nodiscard]] virtual WinError DowngradeAccount(AppContext& app, TextView accountName) = 0;
  // Loads the environment section of `iniPath` (absolute) into the
  // installation variables.
  virtual void PrepareInstallationVariables(AppContext& app, TextView iniPath) = 0;
  // Reads the users section of `usersPath` (absolute) into the account list.
  virtual void ReadAccounts(AppContext& app, TextView usersPath) = 0;
  // Merges the built-in administrator record from app.config.Admin /
  // AdminPwd / AdminPwdGiven. Called only when Admin is non-empty or
  // AdminPwdGiven is set.
  virtual void MergeAdministratorAccount(AppContext& app) = 0;
  // Marks (or creates) the account the settings page edits, honouring
  // app.config.UseCurrent.
  virtual void MergeSettingsAccount(AppContext& app) = 0;
  // Releases the account list, wiping its passwords. Called after the wizard
  // has closed.
  virtual void ReleaseAccounts(AppContext& app) = 0;
};

class WizardHost {
 public:
  virtual ~WizardHost() = default;

  // Shows the command-line help `text` under `caption` and returns when the
  // reader has closed it. The user interface is not prepared yet.
  virtual void ShowHelp(AppContext& app, TextView text, TextView caption) = 0;
  // Shows the program's version `line`, or another short report a script
  // reads (the findings of /check=), with `caption` for a window of its own,
  // and returns when it has been shown. The user interface is not prepared.
  virtual void ShowVersion(AppContext& app, TextView line, TextView caption) = 0;
  // Loads what the pages need. Called once after the Secondary Logon check.
  virtual void PrepareUserInterface(AppContext& app) = 0;
  // Creates and runs the wizard until it closes, starting on app.startPage.
  [[nodiscard]] virtual WizardOutcome RunWizard(AppContext& app) = 0;
  // Releases what PrepareUserInterface loaded. Called after the wizard has
  // closed.
  virtual void ReleaseUserInterface(AppContext& app) = 0;
  // Writes the wizard's last size back when the settings ask for it. Called
  // after the log has been closed.
  virtual void SaveWizardSize(AppContext& app) = 0;
};

// A host without a wizard: the help and the version go to the system's
// message box, and the wizard ends at once as a cancelled one, so the
// program reads its settings and accounts, changes nothing and never
// restarts.
class NoWizardHost : public WizardHost {
 public:
  void ShowHelp(AppContext& app, TextView text, TextView caption) override;
  void ShowVersion(AppContext& app, TextView line, TextView caption) override;
  void PrepareUserInterface(AppContext&) override {}
  [[nodiscard]] WizardOutcome RunWizard(AppContext&) override { return WizardOutcome::kCancelled; }
  void ReleaseUserInterface(AppContext&) override {}
  void SaveWizardSize(AppContext&) override {}
};

}  // namespace tarn::startup
