// The exit code of a program whose start-up ended in an exception. A
// launcher that asked for the exit code to tell the outcome must never read
// success from a run that broke off; without that request the program ends
// with 0, as it always does.
#pragma once

#include "app/install_config.h"
#include "base/text.h"

namespace tarn::startup {

class FailureExitCode {
 public:
  // Looks for "/exitcode=" in the raw command line (the last one counts, as
  // in the option pass), so that an exception before the options are
  // applied is answered too.
  void ReadCommandLine(TextView commandLine);
  // What the options, and later the settings, decided.
  void Follow(const app::InstallConfig& config) { fromResult_ = config.ExitCodeFromResult; }

  // run::kExitFailed (1603) when the exit code is to tell the outcome, else 0.
  [[nodiscard]] int code() const;

 private:
  bool fromResult_ = false;
};

}  // namespace tarn::startup
