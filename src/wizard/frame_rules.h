// The decisions of the wizard frame that do not need a window: which page it
// opens on, what it does with a key, a close request or a timer, and what
// the sheet's end means for the run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "app/install_config.h"
#include "startup/startup_hosts.h"
#include "wizard/countdown.h"

namespace tarn::wizard {

// The dialog of each page in wizard order (settings, user accounts,
// software, installation status).
inline constexpr int kPageDialogs[app::kWizardPageCount] = {129, 113, 130, 131};

// The wizard-order index of the page with `dialogId`; nullopt for a dialog
// that is none of the four pages.
[[nodiscard]] std::optional<size_t> WizardIndexOfDialog(int dialogId);

// The position in `pageDialogs` (the pages the sheet really holds, in wizard
// order) of the page to open on: the page for `startPage`, or the next one
// present after it in wizard order. When none follows, the first page.
[[nodiscard]] size_t StartPagePosition(app::WizardPage startPage, std::span<const int> pageDialogs);

// What reached the frame.
enum class FrameInput {
  kKeyDown,        // any key but Escape, in any window of the wizard
  kEscapeKey,      // Escape: the sheet would cancel
  kCloseCommand,   // Alt+F4, the Close entry, the title bar's close box
  kCancelCommand,  // the Cancel button's command
  kBeepTimer,
  kDisplayTimer,
};

// What the frame does about it.
struct FrameReaction {
  // Keep the message from the sheet.
  bool refuse = false;
  bool stopCountdown = false;
  bool beep = false;
  bool displayTick = false;
  // The timer has nothing more to do: kill it.
  bool killTimer = false;
};

// With `noCancel` every way of cancelling is refused; a key, and a cancel
// that is let through, stop the countdown and the beeps for good while any
// of them is running (before the sheet asks whether to cancel).
[[nodiscard]] FrameReaction ReactToInput(FrameInput input, bool noCancel,
                                         const Countdown& countdown);

// The sheet's result when it closed: 1 is Finish, the only end that allows
// the restart; everything else is a cancelled wizard.
[[nodiscard]] startup::WizardOutcome OutcomeOfSheet(intptr_t sheetResult);

}  // namespace tarn::wizard
