// The user interface that start-up drives in the real program. The wizard is
// not bound yet: apart from the help, this host behaves as NoWizardHost.
#pragma once

#include "startup/startup_hosts.h"

namespace tarn::ui {

class ProgramHost : public startup::NoWizardHost {
 public:
  // Prints the help for a reader at a command prompt, then shows it in the
  // help window (the system's message box if the window cannot be made).
  void ShowHelp(AppContext& app, TextView text, TextView caption) override;
};

}  // namespace tarn::ui
