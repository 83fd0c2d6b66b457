// Opening a web address or document the way the user's shell would.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn::ui {

// ShellExecute "open" on `target`, shown normally. The shell is loaded only
// here: linking it would load it, and everything it pulls in, at every
// start, before the wizard can show.
void OpenWithShell(HWND owner, const wchar_t* target);

}  // namespace tarn::ui
