#include "ui/page_countdown.h"

#include <prsht.h>

#include "app/app_context.h"
#include "app/prompter.h"
#include "resource.h"
#include "ui/timed_message_box.h"

namespace tarn::ui {

void ArmPageTimers(const WizardSession& session, HWND page) {
  const wizard::Countdown& countdown = session.countdown;
  if (countdown.autoEndArmed()) SetTimer(page, IDT_AUTO_EXIT, countdown.autoEndDelayMs(), nullptr);
  if (countdown.autoStartArmed()) {
    SetTimer(page, IDT_AUTO_INSTALL, countdown.autoStartDelayMs(), nullptr);
  }
}

void KillPageTimers(HWND page) {
  KillTimer(page, IDT_AUTO_EXIT);
  KillTimer(page, IDT_AUTO_INSTALL);
}

void StopCountdown(WizardSession& session, HWND page) {
  KillPageTimers(page);
  session.frame.StopCountdown();
  // For good, whatever the frame does: a stopped countdown never starts again.
  session.countdown.Stop();
}

wizard::CountdownAction FirePageTimer(WizardSession& session, HWND page, UINT_PTR id,
                                      bool isCurrent) {
  if (id != IDT_AUTO_EXIT && id != IDT_AUTO_INSTALL) return wizard::CountdownAction::kNothing;
  KillTimer(page, id);
  const wizard::PageTimer timer =
      id == IDT_AUTO_EXIT ? wizard::PageTimer::kAutoEnd : wizard::PageTimer::kAutoStart;
  return session.countdown.Fire(timer, isCurrent);
}

void PressCancelForAutomaticEnd(HWND page) {
  SetPropW(page, kAutoCancelProperty, reinterpret_cast<HANDLE>(1));
  PostMessageW(GetParent(page), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

bool RefuseCancel(WizardSession& session, HWND page) {
  if (GetPropW(page, kAutoCancelProperty) != nullptr) return false;
  if (session.app.config.NoCancel) return true;
  // Somebody pressed Cancel: the automatic start must not overtake the
  // question, so the countdown ends before it is asked, and the question
  // then waits for that person's answer.
  StopCountdown(session, page);
  app::Translator& translator = session.app.translator;
  const int answer = TimedMessageBox(
      nullptr, translator.Translate(IDS_CANCEL_QUESTION), translator.Translate(IDS_CANCEL_CAPTION),
      MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_TASKMODAL | MB_TOPMOST, 0, IDNO);
  return answer != IDYES;
}

}  // namespace tarn::ui
