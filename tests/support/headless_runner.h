// Drives the installation run without a user interface: the run works on its
// own worker thread as in the program, its status calls are recorded, and
// every log line is collected as the status page would show it.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "run/installation_run.h"

namespace tarn::run {

// A RunStatus that remembers everything the run showed. Safe to read after
// the run; hooks run on the worker thread.
class RecordingStatus : public RunStatus {
 public:
  // Called on the worker thread whenever the current-entry text changes,
  // after it was recorded (a test may abort or cancel from here).
  std::function<void(RecordingStatus&, TextView)> onCurrentText;

  [[nodiscard]] std::shared_ptr<RunSignals> signals() const { return signals_; }
  [[nodiscard]] std::optional<uint32_t> range() const { return range_; }
  // Every position set, in order.
  [[nodiscard]] const std::vector<uint32_t>& positions() const { return positions_; }
  // Every current-entry text set, in order.
  [[nodiscard]] const std::vector<Text>& texts() const { return texts_; }
  [[nodiscard]] bool progressHidden() const { return progressHidden_; }
  [[nodiscard]] bool abortShown() const { return abortShown_; }
  // How often the Abort button was hidden.
  [[nodiscard]] size_t abortHiddenCount() const { return abortHidden_; }
  [[nodiscard]] bool finishOffered() const { return finishOffered_; }
  [[nodiscard]] std::optional<uint32_t> autoFinishAfterMs() const { return autoFinish_; }

  void AttachSignals(std::shared_ptr<RunSignals> signals) override {
    signals_ = std::move(signals);
  }
  void SetProgressRange(uint32_t maximum) override { range_ = maximum; }
  void SetProgressPosition(uint32_t position) override { positions_.push_back(position); }
  void HideProgress() override { progressHidden_ = true; }
  void SetCurrentText(TextView text) override;
  void ShowAbortButton(bool shown) override;
  void OfferFinish(std::optional<uint32_t> autoFinishAfterMs) override;

 private:
  std::shared_ptr<RunSignals> signals_;
  std::optional<uint32_t> range_;
  std::vector<uint32_t> positions_;
  std::vector<Text> texts_;
  bool progressHidden_ = false;
  bool abortShown_ = false;
  size_t abortHidden_ = 0;
  bool finishOffered_ = false;
  std::optional<uint32_t> autoFinish_;
};

// One line of the status list: the message and its level.
struct StatusRow {
  Text message;
  int32_t level = 0;
};

// Runs RunInstallation on a worker thread and waits for it. Every log line
// also becomes a row (the log's listener is set for the run and removed after).
class HeadlessRunner {
 public:
  explicit HeadlessRunner(RunContext context) : context_(context) {}

  // Runs the whole installation; returns when the worker has ended.
  void Run();

  [[nodiscard]] std::vector<StatusRow> rows() const;

 private:
  RunContext context_;
  mutable std::mutex mutex_;
  std::vector<StatusRow> rows_;
};

}  // namespace tarn::run
