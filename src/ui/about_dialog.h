// The About dialog, opened from the wizard's system menu: the program's
// version and build date, what it does, and links to its web pages.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn {
struct AppContext;
}
namespace tarn::wizard {
class Countdown;
}

namespace tarn::ui {

// Shows the About dialog modally, owned by `owner`; returns when it closes.
// Makes sure a link control class exists first. Its links open only while
// `countdown` allows shell windows; a link not opened is logged when
// `mayLog` (the installation worker does not own the log).
void OpenAboutDialog(HWND owner, AppContext& app, const wizard::Countdown& countdown, bool mayLog);

}  // namespace tarn::ui
