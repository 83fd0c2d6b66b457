// The program-wide objects of one run, handed down explicitly.
#pragma once

#include "app/install_config.h"
#include "app/log_file.h"
#include "app/run_record.h"
#include "app/translator.h"
#include "platform/environment.h"
#include "platform/platform.h"

#include <vector>

namespace tarn {

struct AppContext {
  // The log and the translator reach the system through `services`, which
  // must be complete (see platform::Platform::IsComplete).
  explicit AppContext(const platform::Platform& services);
  AppContext(const AppContext&) = delete;
  AppContext& operator=(const AppContext&) = delete;

  platform::Platform platform;
  app::InstallConfig config;
  app::LogFile log;
  app::Translator translator;
  // Titles and header texts of the four wizard pages, in wizard order.
  app::PageHeaders pageHeaders;
  // The page the wizard opens on.
  app::WizardPage startPage = app::kSettingsPage;
  // /topmost: the wizard window is made a topmost window.
  bool topmost = false;
  // Told about every step of the installation run; none when nobody asked
  // for a result file or a journal. Owned by the start-up.
  app::RunObserver* runObserver = nullptr;
  // How the installation run ended; written by the run, read by the start-up
  // for the exit code.
  app::RunTotals runTotals;
  // The process environment as the program was started, before any variable
  // of its own: a command started as another account takes that account's
  // values for what the program merely inherited (its TEMP, APPDATA, Path).
  platform::EnvironmentBlock startEnvironment;
  // What the launcher is to be told beyond the steps, each also a warning in
  // the log: files others may change or read, a resume journal not used.
  std::vector<Text> warnings;
  // The program's arguments as a start after a restart is to get them: no
  // password and no place of an earlier restart ("/continue=").
  Text continueArguments;
};

// Writes `message` to the log as a warning and keeps it for the launcher's
// result file (AppContext::warnings).
void ReportWarning(AppContext& app, TextView message);

}  // namespace tarn
