#include "wizard/countdown.h"

#include <algorithm>

#include "app/install_config.h"

namespace tarn::wizard {

namespace {

uint32_t NonNegative(int32_t value) {
  return value > 0 ? static_cast<uint32_t>(value) : 0;
}

// The display starts a second short of the delay: its first tick comes a
// second after the wizard appears.
uint32_t DisplayStart(uint32_t delayMs) {
  return delayMs >= 1000 ? delayMs - 1000 : 0;
}

}  // namespace

CountdownSettings CountdownFromConfig(const app::InstallConfig& config) {
  CountdownSettings settings;
  settings.autoStart = config.AutoInstallEnabled;
  settings.autoStartDelayMs = NonNegative(config.AutoInstallDelay);
  settings.autoEnd = config.AutoExitEnabled;
  settings.autoEndDelayMs = NonNegative(config.AutoExitDelay);
  settings.beep = config.BeepEnabled && config.BeepInterval > 0;
  settings.beepIntervalMs = NonNegative(config.BeepInterval);
  return settings;
}

Countdown::Countdown(const CountdownSettings& settings)
    : autoStart_(settings.autoStart),
      autoEnd_(settings.autoEnd),
      beep_(settings.beep),
      autoStartDelayMs_(settings.autoStartDelayMs),
      autoEndDelayMs_(settings.autoEndDelayMs),
      beepIntervalMs_(settings.beepIntervalMs) {
  if (autoStart_) remainingMs_ = DisplayStart(autoStartDelayMs_);
  if (autoEnd_) remainingMs_ = DisplayStart(autoEndDelayMs_);
}

uint32_t Countdown::Tick() {
  const uint32_t shown = remainingMs_ / 1000;
  remainingMs_ = remainingMs_ >= 1000 ? remainingMs_ - 1000 : 0;
  return shown;
}

void Countdown::Stop() {
  autoStart_ = false;
  autoEnd_ = false;
  beep_ = false;
  remainingMs_ = 0;
}

CountdownAction Countdown::Fire(PageTimer timer, bool pageIsCurrent) {
  if (!pageIsCurrent) return CountdownAction::kNothing;
  const bool armed = timer == PageTimer::kAutoStart ? autoStart_ : autoEnd_;
  if (!armed) return CountdownAction::kNothing;
  if (timer == PageTimer::kAutoEnd) {
    Stop();
    return CountdownAction::kEndWizard;
  }
  autoEnd_ = false;
  beep_ = false;
  displayEnded_ = true;
  autoStartDelayMs_ = 0;
  remainingMs_ = 0;
  return CountdownAction::kStartInstallation;
}

}  // namespace tarn::wizard
