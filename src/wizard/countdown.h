// The unattended countdowns of the wizard: the automatic start (the settings
// or software page goes on to the installation by itself), the automatic end
// (the page presses Cancel by itself), the on-screen count and the beeps.
// The model holds the rules; the frame and the pages own the timers and ask
// it what a timer may still do. Ticks are passed in, so the rules are tested
// without a clock.
#pragma once

#include <cstdint>

namespace tarn::app {
struct InstallConfig;
}

namespace tarn::wizard {

// Which page timer fired.
enum class PageTimer {
  kAutoEnd,    // timer 1025
  kAutoStart,  // timer 1026
};

// What a page does when its timer fires.
enum class CountdownAction {
  kNothing,            // stopped for good, or not armed: ignore the timer
  kStartInstallation,  // go on to the installation
  kEndWizard,          // press Cancel without asking
};

struct CountdownSettings {
  bool autoStart = false;
  uint32_t autoStartDelayMs = 0;
  bool autoEnd = false;
  uint32_t autoEndDelayMs = 0;
  bool beep = false;
  uint32_t beepIntervalMs = 0;
};

[[nodiscard]] CountdownSettings CountdownFromConfig(const app::InstallConfig& config);

class Countdown {
 public:
  explicit Countdown(const CountdownSettings& settings);

  [[nodiscard]] bool autoStartArmed() const { return autoStart_; }
  [[nodiscard]] bool autoEndArmed() const { return autoEnd_; }
  // Load, folder browsing and links open the shell's own windows (file
  // dialogs, a browser) from an elevated program. While the wizard may still
  // go on or end by itself nobody need be at the keyboard, so they stay off
  // until the countdown has stopped.
  [[nodiscard]] bool ShellWindowsAllowed() const { return !autoStart_ && !autoEnd_; }
  // True while the on-screen count is to be shown (either countdown armed).
  [[nodiscard]] bool displayed() const { return (autoStart_ || autoEnd_) && !displayEnded_; }
  [[nodiscard]] bool beeping() const { return beep_; }
  [[nodiscard]] uint32_t beepIntervalMs() const { return beepIntervalMs_; }
  [[nodiscard]] uint32_t autoStartDelayMs() const { return autoStartDelayMs_; }
  [[nodiscard]] uint32_t autoEndDelayMs() const { return autoEndDelayMs_; }
  // Milliseconds the display counts down from; the end's delay wins when
  // both are armed. Never below 0.
  [[nodiscard]] uint32_t remainingMs() const { return remainingMs_; }

  // One second of the on-screen display: the whole seconds to show now,
  // then the remaining time is lowered by a second (not below 0).
  [[nodiscard]] uint32_t Tick();

  // A key, a click or a page action: the automatic start and end, the
  // display and the beeps stop for the rest of the run. Safe to repeat.
  void Stop();

  // A page's timer fired. `pageIsCurrent` is false when the page that owns
  // the timer is not the one shown: such a timer does nothing. Acting on the
  // automatic start disarms the automatic end (the run must not be cancelled
  // by a stale end), ends the display and the beeps, and leaves the start
  // armed with no delay, so that a later page goes on at once. Acting on the
  // automatic end stops everything.
  [[nodiscard]] CountdownAction Fire(PageTimer timer, bool pageIsCurrent);

 private:
  bool autoStart_;
  bool autoEnd_;
  bool beep_;
  uint32_t autoStartDelayMs_;
  uint32_t autoEndDelayMs_;
  uint32_t beepIntervalMs_;
  uint32_t remainingMs_ = 0;
  bool displayEnded_ = false;
};

}  // namespace tarn::wizard
