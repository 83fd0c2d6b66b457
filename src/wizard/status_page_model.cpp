#include "wizard/status_page_model.h"

#include <algorithm>

#include "app/install_config.h"
#include "wizard/frame_layout.h"

namespace tarn::wizard {

int32_t StatusRowImage(int32_t level) {
  return level >= 0 && level <= 2 ? level : -1;
}

StatusPageModel::StatusPageModel(app::InstallConfig& config) : config_(config) {
  view_.restartChecked = !config.SkipRestart;
  view_.restartEnabled = !config.NoRestartChange;
  view_.ticking = !config.NoAbort;
}

void StatusPageModel::CommandEnded() {
  commandRunning_ = false;
  view_.abortShown = false;
}

bool StatusPageModel::Apply(RunEvent event) {
  switch (event.kind) {
    case RunEventKind::kSignals:
      signals_ = std::move(event.signals);
      if (signals_ && cancelConfirmed_) signals_->RequestCancel();
      if (signals_ && questionOpen_ && !cancelConfirmed_) signals_->resume->Reset();
      break;
    case RunEventKind::kRange:
      view_.progressMaximum = event.number;
      CommandEnded();
      break;
    case RunEventKind::kPosition:
      view_.progressPosition = event.number;
      CommandEnded();
      break;
    case RunEventKind::kHideProgress:
      view_.progressHidden = true;
      CommandEnded();
      break;
    case RunEventKind::kCurrentText:
      view_.currentText = std::move(event.text);
      break;
    case RunEventKind::kAbortButton:
      // The run hides the button as each command starts: from here until the
      // next step of the run a command runs and the seconds count.
      commandRunning_ = event.number == 0;
      view_.abortShown = event.number != 0 && !config_.NoAbort;
      break;
    case RunEventKind::kFinish:
      CommandEnded();
      view_.finishOffered = true;
      view_.ticking = false;
      view_.autoFinishMs = event.autoFinishMs;
      break;
    case RunEventKind::kLine:
      rows_.push_back({std::move(event.text), event.level});
      break;
    case RunEventKind::kEnded:
      CommandEnded();
      runEnded_ = true;
      view_.ticking = false;
      return cancelConfirmed_;
  }
  return false;
}

void StatusPageModel::Tick() {
  if (config_.NoAbort || !commandRunning_ || !signals_) return;
  const uint32_t seconds = ++signals_->launchSeconds;
  if (seconds >= kAbortAfterSeconds) view_.abortShown = true;
}

void StatusPageModel::RestartClicked(bool checked) {
  if (config_.NoRestartChange) return;
  config_.SkipRestart = !checked;
  view_.restartChecked = checked;
}

void StatusPageModel::AbortClicked() {
  if (signals_) signals_->abort->Set();
}

CancelStep StatusPageModel::QueryCancel() {
  if (config_.NoCancel) return CancelStep::kRefuse;
  if (cancelConfirmed_) return runEnded_ ? CancelStep::kAllow : CancelStep::kRefuse;
  questionOpen_ = true;
  if (signals_) signals_->resume->Reset();
  return CancelStep::kAsk;
}

CancelStep StatusPageModel::AnswerCancel(bool yes) {
  questionOpen_ = false;
  if (!yes) {
    if (signals_) signals_->resume->Set();
    return CancelStep::kRefuse;
  }
  cancelConfirmed_ = true;
  if (signals_) signals_->RequestCancel();
  return runEnded_ ? CancelStep::kAllow : CancelStep::kRefuse;
}

AutoFinishStep StatusPageModel::AutoFinishFired() {
  if (!view_.autoFinishMs || cancelConfirmed_) return AutoFinishStep::kNothing;
  if (questionOpen_) return AutoFinishStep::kWait;
  view_.autoFinishMs.reset();
  return AutoFinishStep::kPress;
}

StatusLayout LayOutStatusPage(const StatusLayout& current, int32_t width, int32_t height,
                              uint32_t dpi) {
  const int32_t gap = ScaledToDpi(10, dpi);
  const auto across = [width](StatusLayout::Box box) {
    box.width = std::max(0, width - 2 * box.x);
    return box;
  };
  StatusLayout next = current;
  next.progress = across(current.progress);
  next.spare = across(current.spare);
  next.spare.height = gap;
  next.restart.y = height - current.restart.height;
  next.list = across(current.list);
  next.list.height = std::max(0, next.restart.y - gap - current.list.y);
  next.abort.x = std::max(0, width - current.abort.width - current.progress.x);
  return next;
}

}  // namespace tarn::wizard
