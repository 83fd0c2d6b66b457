// What every page before the installation does for the unattended
// countdown: its automatic start and end timers, stopping them for good,
// and the question before a cancel.
#pragma once

#include "platform/win32/win32_windows.h"

#include "ui/wizard_session.h"
#include "wizard/countdown.h"

namespace tarn::ui {

// Sets the page's timers for the armed automatic end and start.
void ArmPageTimers(const WizardSession& session, HWND page);

// Kills the page's timers; the countdown is left as it is (the page goes away).
void KillPageTimers(HWND page);

// A key, a click or an action on `page`: the page's timers, the frame's
// display and beeps and both automatic steps stop for the rest of the run.
void StopCountdown(WizardSession& session, HWND page);

// A WM_TIMER of `page` (`isCurrent`: the page is the one shown): what it
// may still do; nothing for other timers.
[[nodiscard]] wizard::CountdownAction FirePageTimer(WizardSession& session, HWND page, UINT_PTR id,
                                                    bool isCurrent);

// The automatic end: the sheet presses Cancel without a question.
void PressCancelForAutomaticEnd(HWND page);

// PSN_QUERYCANCEL of a page before the installation: true refuses the
// cancel. The automatic end goes through; NoCancel refuses; otherwise the
// countdown stops for good and the user is asked.
[[nodiscard]] bool RefuseCancel(WizardSession& session, HWND page);

}  // namespace tarn::ui
