// The run's bookkeeping of its steps: hands each finished step to the
// observer, keeps the totals, and passes over what an interrupted earlier
// run had done.
#pragma once

#include "app/run_record.h"
#include "base/text.h"
#include "run/run_services.h"

namespace tarn {
struct AppContext;
}

namespace tarn::run {

class RunSteps : public AccountProgress {
 public:
  // Records into `app.runTotals` (reset here, marked started) and tells
  // `app.runObserver`, when there is one.
  explicit RunSteps(AppContext& app);
  RunSteps(const RunSteps&) = delete;
  RunSteps& operator=(const RunSteps&) = delete;
  // Ends the run as cancelled when nobody ended it.
  ~RunSteps() { End(false); }

  // True when the step was done by an earlier run: it is logged, reported as
  // skipped and must not run again.
  [[nodiscard]] bool PassOver(app::StepKind kind, TextView key, TextView name);
  // True when an earlier, interrupted run had done the step; the run then
  // counts as resumed. Nothing is logged or reported: the caller decides.
  [[nodiscard]] bool DoneEarlier(app::StepKind kind, TextView key);
  // A start after a restart passes over `key`, done before the restart: it
  // is logged and reported as skipped.
  void ReportDoneBeforeRestart(TextView key, TextView name);
  // Times `step` from its start to now, counts it into the totals and
  // reports it.
  void Finish(app::StepRecord& step);
  // The computer takes a new name at the next restart.
  void NeedRestart();
  // The run has ended; only the first call counts.
  void End(bool finished);
  // The run could not do all it was to do because of an error of its own,
  // not because anybody cancelled it: it counts as failed.
  void MarkEndedByError();

  // The milliseconds since 1970 (UTC) of the platform's clock.
  [[nodiscard]] int64_t Now() const;

  // AccountProgress
  [[nodiscard]] bool AlreadyDone(TextView key, TextView name) override {
    return PassOver(app::StepKind::kAccount, key, name);
  }
  void AccountFinished(app::StepRecord& step) override { Finish(step); }

 private:
  AppContext& app_;
  bool ended_ = false;
};

}  // namespace tarn::run
