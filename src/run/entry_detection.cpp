#include "run/entry_detection.h"

#include "app/app_context.h"
#include "catalogue/installation_tests.h"
#include "catalogue/software_entry.h"
#include "run/run_steps.h"

namespace tarn::run {
namespace {

constexpr TextView kPresentLine = u"\"%s\" is already present; it is not started.";
constexpr TextView kGoneLine =
    u"Resuming: \"%s\" was done by an earlier run but is not detected; it runs again.";
constexpr TextView kNotDetectedLine =
    u"\"%s\" ended with exit code %u but was not detected after installation.";

}  // namespace

bool FoundPresentBefore(AppContext& app, RunSteps& steps, const catalogue::SoftwareEntry& entry,
                        TextView displayName, app::StepRecord& record) {
  const bool doneEarlier = steps.DoneEarlier(app::StepKind::kEntry, entry.Key);
  const bool present = catalogue::EvaluateDetection(app.platform, *entry.Detect);
  record.detectedBefore = present;
  if (!present) {
    if (doneEarlier) app.log.WriteFormat(app::kLogWarning, 0, kGoneLine, {displayName});
    return false;
  }
  record.kind = app::StepKind::kEntry;
  record.key = entry.Key;
  record.name = Text(displayName);
  record.action = u"command";
  record.outcome = app::Outcome::kPresent;
  app.log.WriteFormat(app::kLogInfo, 0, kPresentLine, {displayName});
  return true;
}

void ConfirmPresentAfter(AppContext& app, const catalogue::SoftwareEntry& entry,
                         TextView displayName, app::StepRecord& record) {
  if (record.outcome != app::Outcome::kSuccess && record.outcome != app::Outcome::kSuccessRestart) {
    return;
  }
  const bool present = catalogue::EvaluateDetection(app.platform, *entry.Detect);
  record.detectedAfter = present;
  if (present) return;
  record.outcome = app::Outcome::kError;
  const uint32_t code = record.exitCode.value_or(0);
  app.log.WriteFormat(app::kLogError, static_cast<int32_t>(code), kNotDetectedLine,
                      {displayName, code});
}

}  // namespace tarn::run
