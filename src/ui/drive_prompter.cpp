#include "ui/drive_prompter.h"

#include "app/app_context.h"
#include "ui/drive_dialogs.h"

namespace tarn::ui {

app::VolumeReply DialogPrompter::AskVolume(const app::VolumeQuestion& question) {
  try {
    return ShowDriveDialog(session_.app, session_.instance, wizard_, question, slot_);
  } catch (...) {
    // A question that can't be shown ends as its countdown would.
    return {};
  }
}

void DialogPrompter::Abandon() {
  AbandonDriveDialog(slot_);
}

}  // namespace tarn::ui
