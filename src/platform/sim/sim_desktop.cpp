#include "platform/sim/sim_desktop.h"

namespace tarn::sim {
namespace {

// The button a box of this type shows first.
int FirstButton(uint32_t flags) {
  constexpr int kIdAbort = 3;
  constexpr int kIdRetry = 4;
  switch (flags & 0xF) {
    case 0x2:
      return kIdAbort;  // MB_ABORTRETRYIGNORE
    case 0x3:
      return platform::kIdYes;  // MB_YESNOCANCEL
    case 0x4:
      return platform::kIdYes;  // MB_YESNO
    case 0x5:
      return kIdRetry;  // MB_RETRYCANCEL
    default:
      return platform::kIdOk;  // MB_OK, MB_OKCANCEL
  }
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
