// What the wizard frame shares with its pages for the life of the wizard.
// Everything here lives on the user-interface thread; the installation
// worker never touches it except through RunStatus and RunSignals.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn {
struct AppContext;
}
namespace tarn::accounts {
struct AccountStore;
}
namespace tarn::catalogue {
class SoftwareCatalogue;
}
namespace tarn::wizard {
class Countdown;
}
namespace tarn::run {
class RelaxedPolicy;
}

namespace tarn::ui {

// Set on a page that presses Cancel for its automatic end: the cancel then
// goes ahead without a question, even with NoCancel, which keeps people from
// cancelling, not the configuration's own end.
inline constexpr wchar_t kAutoCancelProperty[] = L"AutoCancel";

// The frame's services a page may call.
class FrameControl {
 public:
  virtual ~FrameControl() = default;
  // Stops the automatic start and end, the beeps and the on-screen display
  // for the rest of the run (and kills the pages' countdown timers).
  virtual void StopCountdown() = 0;
};

struct WizardSession {
  AppContext& app;
  // The account list the settings page edits and the run applies.
  accounts::AccountStore& accounts;
  // The software the run installs; loaded before the wizard opens.
  catalogue::SoftwareCatalogue& catalogue;
  wizard::Countdown& countdown;
  FrameControl& frame;
  HINSTANCE instance = nullptr;
  // Where the run keeps the relaxed blank-password policy, which the frame
  // puts back when Windows ends the session.
  run::RelaxedPolicy* relaxedPolicy = nullptr;
};

}  // namespace tarn::ui
