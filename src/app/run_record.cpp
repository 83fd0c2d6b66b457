#include "app/run_record.h"

namespace tarn::app {

TextView OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kSuccess:
      return u"success";
    case Outcome::kSuccessRestart:
      return u"success-restart";
    case Outcome::kWarning:
      return u"warning";
    case Outcome::kError:
      return u"error";
    case Outcome::kSkipped:
      return u"skipped";
    case Outcome::kAborted:
      return u"aborted";
    case Outcome::kPending:
      return u"pending";
    case Outcome::kPresent:
      return u"present";
  }
  return u"error";
}

TextView StepKindName(StepKind kind) {
  switch (kind) {
    case StepKind::kAccount:
      return u"account";
    case StepKind::kEntry:
      return u"entry";
    case StepKind::kDowngrade:
      return u"downgrade";
    case StepKind::kSetting:
      return u"setting";
    case StepKind::kRestart:
      return u"restart";
  }
  return u"entry";
}

std::optional<StepKind> StepKindNamed(TextView name) {
  for (const StepKind kind : {StepKind::kAccount, StepKind::kEntry, StepKind::kDowngrade,
                              StepKind::kSetting, StepKind::kRestart}) {
    if (StepKindName(kind) == name) return kind;
  }
  return std::nullopt;
}

}  // namespace tarn::app
