// The About dialog, opened from the wizard's system menu.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn {
struct AppContext;
}

namespace tarn::ui {

// Shows the About dialog modally, owned by `owner`; returns when it closes.
void OpenAboutDialog(HWND owner, AppContext& app);

}  // namespace tarn::ui
