// Exit-code classes: what a command's exit code says about its entry, before
// detection and the run's own ends (Abort, a time limit) have their say.
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace tarn::app {

struct StepRecord;

// The names are those the result file and the CMTrace log write.
enum class ExitClass : int32_t {
  kSuccess,         // "success"
  kSuccessRestart,  // "success-restart": done, Windows must restart to complete it
  kRestartStarted,  // "restart-started": done, and the installer started the restart itself
  kRetry,           // "retry": another installation was in progress; started again later
  kFailure,         // "failure"
};

// The result file's name of `exitClass`.
[[nodiscard]] TextView ExitClassName(ExitClass exitClass);

// The classes that end with Windows having to restart: success needing a
// restart and a restart the installer started.
[[nodiscard]] bool IsRestartClass(ExitClass exitClass);

// True when `step` is a command that ended well (outcome success or
// success-restart: detection did not refuse it) with an exit code in a
// restart class. What a run that restarts on request asks of each entry.
[[nodiscard]] bool EndedInRestartClass(const StepRecord& step);

}  // namespace tarn::app
