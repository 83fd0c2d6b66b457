// The user interface that start-up drives in the real program: the help
// window, the version, and the wizard over the software catalogue and the
// run's account list.
#pragma once

#include "catalogue/software_catalogue.h"
#include "startup/startup_hosts.h"
#include "wizard/frame_layout.h"

namespace tarn::accounts {
struct AccountStore;
}

namespace tarn::ui {

class ProgramHost : public startup::WizardHost {
 public:
  // The wizard edits `accounts`, which must outlive the host.
  explicit ProgramHost(accounts::AccountStore& accounts) : accounts_(accounts) {}

  // Prints the help for a reader at a command prompt, then shows it in the
  // help window (the system's message box if the window cannot be made).
  void ShowHelp(AppContext& app, TextView text, TextView caption) override;
  // Prints the version line to a command prompt, a pipe or a file; only
  // when there is none, shows it in the system's message box.
  void ShowVersion(AppContext& app, TextView line, TextView caption) override;
  // Registers the common controls and loads the software catalogue.
  void PrepareUserInterface(AppContext& app) override;
  // Opens the wizard on its pages and runs it until it closes.
  [[nodiscard]] startup::WizardOutcome RunWizard(AppContext& app) override;
  // Releases the catalogue.
  void ReleaseUserInterface(AppContext& app) override;
  // Writes the wizard's outer size at its close when dimension.update asks.
  void SaveWizardSize(AppContext& app) override;

 private:
  accounts::AccountStore& accounts_;
  catalogue::SoftwareCatalogue catalogue_;
  // The outer size the wizard closed with; zero when it never opened.
  wizard::Size closingSize_;
};

}  // namespace tarn::ui
