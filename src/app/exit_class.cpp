#include "app/exit_class.h"

#include "app/run_record.h"

namespace tarn::app {

TextView ExitClassName(ExitClass exitClass) {
  switch (exitClass) {
    case ExitClass::kSuccess:
      return u"success";
    case ExitClass::kSuccessRestart:
      return u"success-restart";
    case ExitClass::kRestartStarted:
      return u"restart-started";
    case ExitClass::kRetry:
      return u"retry";
    case ExitClass::kFailure:
      return u"failure";
  }
  return u"failure";
}

bool IsRestartClass(ExitClass exitClass) {
  return exitClass == ExitClass::kSuccessRestart || exitClass == ExitClass::kRestartStarted;
}

bool EndedInRestartClass(const StepRecord& step) {
  const bool endedWell =
      step.outcome == Outcome::kSuccess || step.outcome == Outcome::kSuccessRestart;
  return endedWell && step.exitClass && IsRestartClass(*step.exitClass);
}

}  // namespace tarn::app
