// What the installation run shares with whoever shows it: the status page in
// the program, a headless runner in tests and tools. The run reaches its
// viewer only through RunStatus (and the log's listener for the rows of the
// status list); the viewer reaches the run only through RunSignals.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>

#include "base/text.h"
#include "platform/processes.h"

namespace tarn::run {

// The automatic Finish follows this long after the run ends when the
// automatic start is armed.
inline constexpr uint32_t kAutoFinishDelayMs = 10000;

// The run's side of the synchronisation. Created by the run before its first
// command; shared so that a viewer may keep it past the run's end.
struct RunSignals {
  // Manual reset, created set. A viewer resets it to hold the run after the
  // command that runs (the Cancel question is open) and sets it to go on.
  std::unique_ptr<platform::Event> resume;
  // Automatic reset, created not set. Setting it ends the command that runs
  // with everything it started; each command's start clears it first.
  std::unique_ptr<platform::Event> abort;
  // Manual reset, created not set; set when the run has finished its clean-up
  // (passwords wiped, environment left, policy restored), however it ended.
  std::unique_ptr<platform::Event> finished;
  // Seconds since the command that runs was started; the run sets it to 0
  // before every command, the viewer's one-second timer counts it up. Read
  // and written without a lock: a lost update moves the Abort button by a second.
  std::atomic<uint32_t> launchSeconds{0};
  // Set by a confirmed Cancel: the run starts no further command and goes
  // straight to its clean-up. Use RequestCancel.
  std::atomic<bool> cancelled{false};

  // A confirmed Cancel: stop after the command that runs, end that command
  // and let a held run go on, so that it reaches its clean-up.
  void RequestCancel() {
    cancelled = true;
    if (abort) abort->Set();
    if (resume) resume->Set();
  }
};

// Creates the run's signals; nullptr when the system has no event to give.
[[nodiscard]] std::shared_ptr<RunSignals> MakeRunSignals(platform::Processes& processes);

// The controls of the status page the run drives (progress bar 1006,
// current-entry text 1130, Abort button 1128, the wizard's Finish button).
// The run calls these on its own thread; an implementation hands them to its
// user-interface thread without waiting for it to be idle.
class RunStatus {
 public:
  virtual ~RunStatus() = default;
  // The run's signals, before its first command (never with SkipSoftware).
  virtual void AttachSignals(std::shared_ptr<RunSignals> signals) = 0;
  // Progress bar range 0..`maximum`.
  virtual void SetProgressRange(uint32_t maximum) = 0;
  virtual void SetProgressPosition(uint32_t position) = 0;
  virtual void HideProgress() = 0;
  // The display text of the entry being installed, or the closing text.
  virtual void SetCurrentText(TextView text) = 0;
  virtual void ShowAbortButton(bool shown) = 0;
  // The end of the run: offer Finish, stop the one-second timer, hide the
  // Abort button; with `autoFinishAfterMs`, press Finish by itself after that
  // long. Not called when the run ended through a confirmed Cancel.
  virtual void OfferFinish(std::optional<uint32_t> autoFinishAfterMs) = 0;
};

}  // namespace tarn::run
