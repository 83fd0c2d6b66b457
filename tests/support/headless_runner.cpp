#include "support/headless_runner.h"

#include <thread>

#include "app/app_context.h"

namespace tarn::run {

void RecordingStatus::SetCurrentText(TextView text) {
  texts_.emplace_back(text);
  if (onCurrentText) onCurrentText(*this, text);
}

void RecordingStatus::ShowAbortButton(bool shown) {
  abortShown_ = shown;
  if (!shown) ++abortHidden_;
}

void RecordingStatus::OfferFinish(std::optional<uint32_t> autoFinishAfterMs) {
  finishOffered_ = true;
  abortShown_ = false;
  autoFinish_ = autoFinishAfterMs;
}

void HeadlessRunner::Run() {
  context_.app.log.SetListener([this](Text message, int32_t level) {
    std::lock_guard lock(mutex_);
    rows_.push_back({std::move(message), level});
  });
  std::thread worker([this] { (void)RunInstallation(context_); });
  worker.join();
  context_.app.log.SetListener({});
}

std::vector<StatusRow> HeadlessRunner::rows() const {
  std::lock_guard lock(mutex_);
  return rows_;
}

}  // namespace tarn::run
