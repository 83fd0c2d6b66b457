// The About dialog, opened from the wizard's system menu: the program's
// version and build date, what it does, and links to its web pages.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn {
struct AppContext;
}

namespace tarn::ui {

// Shows the About dialog modally, owned by `owner`; returns when it closes.
// Makes sure a link control class exists first.
void OpenAboutDialog(HWND owner, AppContext& app);

}  // namespace tarn::ui
