#include "run/run_status.h"

namespace tarn::run {

std::shared_ptr<RunSignals> MakeRunSignals(platform::Processes& processes) {
  auto signals = std::make_shared<RunSignals>();
  signals->resume = processes.MakeEvent(true, true);
  signals->abort = processes.MakeEvent(false, false);
  signals->finished = processes.MakeEvent(true, false);
  if (!signals->resume || !signals->abort || !signals->finished) return nullptr;
  return signals;
}

}  // namespace tarn::run
