// The question the account list page asks on Next when accounts have shell
// folders that differ from the defaults.
#pragma once

#include "platform/win32/win32_windows.h"

#include "ui/wizard_session.h"

namespace tarn::ui {

// True when the wizard may go on: no account has changed folders, the
// warning is switched off, an automatic start or end is armed (nobody is
// asked), or the user chose "Use". False keeps the list page.
[[nodiscard]] bool ConfirmChangedFolders(HWND owner, WizardSession& session);

}  // namespace tarn::ui
