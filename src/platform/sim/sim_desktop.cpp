#include "platform/sim/sim_desktop.h"

namespace tarn::sim {
namespace {

int FirstButton(uint32_t flags) {
  return (flags & 0xF) == platform::kMbYesNo ? platform::kIdYes : platform::kIdOk;
}

}  // namespace

int SimDesktop::MessageBox(TextView text, TextView caption, uint32_t flags) {
  shown_.push_back({Text(text), Text(caption), flags, std::nullopt});
  if (answers_.empty()) return FirstButton(flags);
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<int> SimDesktop::MessageBoxTimeout(TextView text, TextView caption, uint32_t flags,
                                                 uint32_t milliseconds) {
  if (!timeoutAvailable_) return std::nullopt;
  shown_.push_back({Text(text), Text(caption), flags, milliseconds});
  if (answers_.empty()) return platform::kIdTimeout;
  const int answer = answers_.front();
  answers_.pop_front();
  return answer;
}

}  // namespace tarn::sim
