// The drive questions of the account worker as dialogs: a folder on a drive
// that does not exist (missing-volume dialog) or on a volume without a file
// system (format-drive dialog). The worker asks from its own thread.
#pragma once

#include "platform/win32/win32_windows.h"

#include "app/prompter.h"
#include "ui/drive_dialogs.h"
#include "ui/wizard_session.h"

namespace tarn::ui {

class DialogPrompter final : public app::Prompter {
 public:
  // `wizard` is the wizard's window, which the dialogs stand over (they are
  // not owned by it); `session` outlives the prompter.
  DialogPrompter(WizardSession& session, HWND wizard) : session_(session), wizard_(wizard) {}

  // Shows the dialog the question needs and returns its answer. Closes by
  // itself after the question's time-out (an armed automatic start or end).
  [[nodiscard]] app::VolumeReply AskVolume(const app::VolumeQuestion& question) override;

  // From any thread: nobody waits for answers any more (the wizard is being
  // torn down); an open question ends with Cancel, later ones are not shown.
  void Abandon();

 private:
  WizardSession& session_;
  HWND wizard_;
  DriveDialogSlot slot_;
};

}  // namespace tarn::ui
