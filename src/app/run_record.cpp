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

namespace {

// Every step kind with its name in the result file and the word that opens
// its lines in a readable log; one row per kind, so a new kind cannot be
// named in one place and forgotten in another.
struct StepKindNames {
  StepKind kind;
  TextView name;
  TextView logWord;
};
constexpr StepKindNames kStepKinds[] = {
    {StepKind::kAccount, u"account", u"Account"},
    {StepKind::kEntry, u"entry", u"Entry"},
    {StepKind::kDowngrade, u"downgrade", u"Downgrade of"},
    {StepKind::kSetting, u"setting", u"Setting"},
    {StepKind::kRestart, u"restart", u"Restart after"},
};

const StepKindNames& NamesOf(StepKind kind) {
  for (const StepKindNames& row : kStepKinds) {
    if (row.kind == kind) return row;
  }
  return kStepKinds[1];
}

}  // namespace

TextView StepKindName(StepKind kind) {
  return NamesOf(kind).name;
}

TextView StepKindLogWord(StepKind kind) {
  return NamesOf(kind).logWord;
}

std::optional<StepKind> StepKindNamed(TextView name) {
  for (const StepKindNames& row : kStepKinds) {
    if (row.name == name) return row.kind;
  }
  return std::nullopt;
}

}  // namespace tarn::app
