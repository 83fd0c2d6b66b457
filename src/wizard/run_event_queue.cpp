#include "wizard/run_event_queue.h"

#include <utility>

namespace tarn::wizard {

void QueuedRunStatus::Connect(Wake wake) {
  std::lock_guard lock(mutex_);
  wake_ = std::move(wake);
  wakePending_ = !events_.empty();
  if (wakePending_ && wake_) wake_();
}

void QueuedRunStatus::Disconnect() {
  std::lock_guard lock(mutex_);
  wake_ = nullptr;
  events_.clear();
  wakePending_ = false;
}

std::vector<RunEvent> QueuedRunStatus::Take() {
  std::lock_guard lock(mutex_);
  wakePending_ = false;
  return std::exchange(events_, {});
}

void QueuedRunStatus::Push(RunEvent event) {
  std::lock_guard lock(mutex_);
  if (!wake_) return;
  events_.push_back(std::move(event));
  if (wakePending_) return;
  wakePending_ = true;
  wake_();
}

void QueuedRunStatus::PushLine(Text message, int32_t level) {
  RunEvent event = MakeRunEvent(RunEventKind::kLine);
  event.level = level;
  event.text = std::move(message);
  Push(std::move(event));
}

void QueuedRunStatus::PushEnded() {
  Push(MakeRunEvent(RunEventKind::kEnded));
}

void QueuedRunStatus::CancelRun() {
  std::lock_guard lock(mutex_);
  cancelRun_ = true;
  if (signals_) signals_->RequestCancel();
}

void QueuedRunStatus::AttachSignals(std::shared_ptr<run::RunSignals> signals) {
  {
    std::lock_guard lock(mutex_);
    signals_ = signals;
    if (signals_ && cancelRun_) signals_->RequestCancel();
  }
  RunEvent event = MakeRunEvent(RunEventKind::kSignals);
  event.signals = std::move(signals);
  Push(std::move(event));
}

void QueuedRunStatus::SetProgressRange(uint32_t maximum) {
  Push(MakeRunEvent(RunEventKind::kRange, maximum));
}

void QueuedRunStatus::SetProgressPosition(uint32_t position) {
  Push(MakeRunEvent(RunEventKind::kPosition, position));
}

void QueuedRunStatus::HideProgress() {
  Push(MakeRunEvent(RunEventKind::kHideProgress));
}

void QueuedRunStatus::SetCurrentText(TextView text) {
  RunEvent event = MakeRunEvent(RunEventKind::kCurrentText);
  event.text = Text(text);
  Push(std::move(event));
}

void QueuedRunStatus::ShowAbortButton(bool shown) {
  Push(MakeRunEvent(RunEventKind::kAbortButton, shown ? 1u : 0u));
}

void QueuedRunStatus::OfferFinish(std::optional<uint32_t> autoFinishAfterMs) {
  RunEvent event = MakeRunEvent(RunEventKind::kFinish);
  event.autoFinishMs = autoFinishAfterMs;
  Push(std::move(event));
}

}  // namespace tarn::wizard
