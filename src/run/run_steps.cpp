#include "run/run_steps.h"

#include "app/app_context.h"
#include "platform/system_info.h"

namespace tarn::run {

RunSteps::RunSteps(AppContext& app) : app_(app) {
  app_.runTotals = app::RunTotals{};
  app_.runTotals.started = true;
  // A start after a restart goes on with the counts of the starts before it.
  if (const auto& place = app_.config.Continue) {
    app_.runTotals.restarts = place->restarts;
    app_.runTotals.failed = place->failed;
  }
}

int64_t RunSteps::Now() const {
  return app_.platform.system->UnixTimeMs();
}

void RunSteps::NeedRestart() {
  app_.runTotals.restartNeeded = true;
}

bool RunSteps::PassOver(app::StepKind kind, TextView key, TextView name) {
  if (app_.runObserver == nullptr || !app_.runObserver->AlreadyDone(kind, key)) return false;
  app_.log.WriteFormat(app::kLogInfo, 0, u"Resuming: \"%s\" is already done", {name});
  app_.runTotals.resumed = true;
  app::StepRecord step;
  step.kind = kind;
  step.key = Text(key);
  step.name = Text(name);
  step.action = kind == app::StepKind::kEntry ? u"command" : u"";
  step.outcome = app::Outcome::kSkipped;
  step.startUnixMs = Now();
  app_.runObserver->StepFinished(step);
  return true;
}

bool RunSteps::DoneEarlier(app::StepKind kind, TextView key) {
  if (app_.runObserver == nullptr || !app_.runObserver->AlreadyDone(kind, key)) return false;
  app_.runTotals.resumed = true;
  return true;
}

void RunSteps::ReportDoneBeforeRestart(TextView key, TextView name) {
  app_.log.WriteFormat(app::kLogInfo, 0, u"Continuing after the restart: \"%s\" was done before it",
                       {name});
  app_.runTotals.resumed = true;
  app::StepRecord step;
  step.key = Text(key);
  step.name = Text(name);
  step.action = u"command";
  step.outcome = app::Outcome::kSkipped;
  step.startUnixMs = Now();
  if (app_.runObserver != nullptr) app_.runObserver->StepFinished(step);
}

void RunSteps::Finish(app::StepRecord& step) {
  const int64_t ended = Now();
  step.durationMs = ended > step.startUnixMs ? static_cast<uint64_t>(ended - step.startUnixMs) : 0;
  app::RunTotals& totals = app_.runTotals;
  if (step.outcome == app::Outcome::kSuccessRestart) totals.restartNeeded = true;
  if (step.outcome == app::Outcome::kError || step.outcome == app::Outcome::kAborted) {
    ++totals.failed;
  }
  if (app_.runObserver != nullptr) app_.runObserver->StepFinished(step);
}

void RunSteps::MarkEndedByError() {
  app_.runTotals.endedByError = true;
}

void RunSteps::End(bool finished) {
  if (ended_) return;
  ended_ = true;
  app_.runTotals.finished = finished;
  if (app_.runObserver != nullptr) app_.runObserver->RunFinished(app_.runTotals);
}

}  // namespace tarn::run
