// Restarting Windows in the middle of a run and going on after it: the
// restart step, the guard against a restart loop, the scheduled task that
// starts the program again in an elevated context the user cannot change,
// and the restart request itself.
#pragma once

#include <cstdint>

#include "app/install_config.h"
#include "base/text.h"
#include "run/run_steps.h"

namespace tarn {
struct AppContext;
}

namespace tarn::run {

// The scheduled task that continues a run after its restart.
inline constexpr TextView kContinueTaskName = u"TARN continue";
// The restart's reason: SHTDN_REASON_FLAG_PLANNED | SHTDN_REASON_MAJOR_SOFTWARE |
// SHTDN_REASON_MINOR_INSTALLATION.
inline constexpr uint32_t kPlannedRestartReason = 0x80030002;

// What the continue task runs and as whom.
struct ContinueTask {
  // The program file, and its arguments ("/continue=" among them).
  Text program;
  Text arguments;
  // At start-up as SYSTEM when the program runs as SYSTEM; else when this
  // account logs on, with its full (elevated) rights.
  bool asSystem = false;
  Text account;
  // For people reading the task.
  Text description;
};

// The Task Scheduler's XML definition of `task`: one trigger (start-up, or
// the account's logon), the highest run level, no time limit, not stopped on
// batteries, never two at once.
[[nodiscard]] Text ContinueTaskXml(const ContinueTask& task);

class RunRestarts {
 public:
  // Restarts of `app`'s run so far: those a "/continue=" start carries.
  RunRestarts(AppContext& app, RunSteps& steps);

  // Asks for a restart now, because of `key` ("pending" or an entry's key),
  // named `name` for people, after which the run goes on with what follows
  // `afterEntry` (empty: from the start). Records a step of kind "restart".
  // True when the continue task is in place: the run must stop, and the
  // program asks Windows to restart when it ends (RequestContinueRestart).
  // False, as an error step, when MaxRestarts restarts have been made or the
  // task could not be put in place: the run goes on without a restart.
  [[nodiscard]] bool Request(TextView key, TextView name, TextView afterEntry);

 private:
  // Registers the continue task; the error, or success.
  [[nodiscard]] WinError Arm(const app::InstallConfig::ContinuePlace& place);
  // The program and configuration a later start would run, when others than
  // the administrators may change them; empty when nobody may.
  [[nodiscard]] Text Untrusted(const ContinueTask& task);
  // Warns when the account a logon task waits for will not be logged on by itself.
  void CheckAutomaticLogon(TextView account);

  AppContext& app_;
  RunSteps& steps_;
};

// The program is about to end after a run that stopped for a restart: asks
// Windows to restart now (applications closed, after RestartWait seconds,
// a planned reason). Logs the request or its failure; true when taken.
[[nodiscard]] bool RequestContinueRestart(AppContext& app);

// A run has ended by itself: the continue task of an earlier start is no
// longer wanted and is removed (a missing one is no news).
void RemoveContinueTask(AppContext& app);

}  // namespace tarn::run
