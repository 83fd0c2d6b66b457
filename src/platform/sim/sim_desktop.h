// A simulated desktop: message boxes are recorded and answered from a
// script, as a test decides.
#pragma once

#include <deque>
#include <optional>
#include <vector>

#include "platform/desktop.h"

namespace tarn::sim {

// One message box the program showed.
struct ShownMessageBox {
  Text text;
  Text caption;
  uint32_t flags = 0;
  // Set for MessageBoxTimeout.
  std::optional<uint32_t> timeoutMilliseconds;
};

class SimDesktop : public platform::Desktop {
 public:
  // ---- Set-up for tests ----
  // Queues the button the next message box returns. With nothing queued a
  // plain box returns its first button (IDOK, IDYES, ...) and a box with a
  // time-out returns kIdTimeout, as when nobody is at the keyboard.
  void QueueAnswer(int button) { answers_.push_back(button); }
  // Whether MessageBoxTimeoutW can be found (as on every supported system).
  void SetTimeoutAvailable(bool available) { timeoutAvailable_ = available; }

  // ---- What the program did ----
  [[nodiscard]] const std::vector<ShownMessageBox>& shown() const { return shown_; }

  // ---- platform::Desktop ----
  int MessageBox(TextView text, TextView caption, uint32_t flags) override;
  std::optional<int> MessageBoxTimeout(TextView text, TextView caption, uint32_t flags,
                                       uint32_t milliseconds) override;

 private:
  std::deque<int> answers_;
  std::vector<ShownMessageBox> shown_;
  bool timeoutAvailable_ = true;
};

}  // namespace tarn::sim
