// Opening a web or mail address from the elevated program. The address is
// handed to the desktop's own shell (Explorer), which opens it with the
// logged-on user's unelevated token; a browser or mail program started from
// here would otherwise run as administrator.
#pragma once

#include "platform/win32/win32_windows.h"

#include "base/text.h"

namespace tarn::app {
class LogFile;
}

namespace tarn::ui {

enum class LinkOutcome {
  kOpened,
  // Not an http, https or mailto address (wizard::IsOpenableLink).
  kRefused,
  // No desktop shell to hand it to (none running, a service desktop, or
  // the shell refused it): nothing is opened, never elevated.
  kNoDesktopShell,
};

// Opens `target` through the shell's desktop folder view (ShellWindows ->
// the desktop's shell browser -> its view's IShellDispatch2::ShellExecute),
// so that the program runs as the desktop's user. Initialises COM on the
// calling thread for the call when no one has.
[[nodiscard]] LinkOutcome OpenLinkUnelevated(TextView target);

// OpenLinkUnelevated, and a line in `log` (when given) for a target that was
// not opened. Pass no log while the installation worker owns it.
void FollowLink(TextView target, app::LogFile* log);

}  // namespace tarn::ui
