// The run's side of the status page: a RunStatus and a log listener that
// only queue what they are told and wake the page, never touching a window.
// The page takes the queued events on its own thread. Nothing the worker
// hands over is owned by a window message, so an event the page never takes
// is freed with the queue, and events after the page has gone are dropped.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "run/run_status.h"
#include "wizard/status_page_model.h"

namespace tarn::wizard {

class QueuedRunStatus final : public run::RunStatus {
 public:
  // Called when the first event of a batch is queued, on the pushing thread
  // and under the queue's lock: it must only post a notice (PostMessageW).
  using Wake = std::function<void()>;

  // Events from now on are queued and `wake` is called for each new batch.
  void Connect(Wake wake);
  // Events from now on are dropped; the queued ones are discarded.
  void Disconnect();
  // Every event queued since the last call, in order.
  [[nodiscard]] std::vector<RunEvent> Take();

  // The log's listener: one row.
  void PushLine(Text message, int32_t level);
  // The worker's very last word: nothing follows.
  void PushEnded();
  // The run must end as soon as it can: asks its signals to cancel, now or
  // as soon as the run attaches them. For a page that goes away early.
  void CancelRun();

  // RunStatus, on the worker's thread: each call becomes one event.
  void AttachSignals(std::shared_ptr<run::RunSignals> signals) override;
  void SetProgressRange(uint32_t maximum) override;
  void SetProgressPosition(uint32_t position) override;
  void HideProgress() override;
  void SetCurrentText(TextView text) override;
  void ShowAbortButton(bool shown) override;
  void OfferFinish(std::optional<uint32_t> autoFinishAfterMs) override;

 private:
  // Queues `event` (dropped while disconnected) and wakes the page for a new batch.
  void Push(RunEvent event);

  std::mutex mutex_;
  Wake wake_;
  std::vector<RunEvent> events_;
  bool wakePending_ = false;
  std::shared_ptr<run::RunSignals> signals_;
  bool cancelRun_ = false;
};

}  // namespace tarn::wizard
