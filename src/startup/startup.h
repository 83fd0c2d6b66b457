// The program's start-up sequence, from the command line to the restart
// request, over the application context.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "startup/app_context.h"
#include "startup/later_steps.h"

namespace tarn::startup {

// Restart reason: SHTDN_REASON_MAJOR_SOFTWARE | SHTDN_REASON_MINOR_INSTALLATION.
inline constexpr uint32_t kRestartReason = 0x30002;
// MB_ICONINFORMATION | MB_TASKMODAL | MB_TOPMOST.
inline constexpr uint32_t kHelpBoxFlags = 0x42040;
// The help text buffer, in UTF-16 units, terminator included.
inline constexpr size_t kHelpTextCapacity = 9216;
inline constexpr char16_t kSecondaryLogonWarning[] = u"\"Secondary Logon\" service isn't running";

// Runs the whole program: splits `commandLine` (without the program name),
// chooses the language, sets the start-up variables, applies the options,
// opens the log, serves the one-shot modes (help, downgrade, password
// scrambling), reads the settings, enables the privileges, checks the
// Secondary Logon service, prepares the accounts, runs the wizard through
// `extensions`, cleans up and asks for the restart when the wizard ended with
// Finish. Returns the process exit code, which is 0 on every path.
[[nodiscard]] int RunStartup(AppContext& app, TextView commandLine, StartupExtensions& extensions);

// Texts 300 to 336 concatenated, cut to the help buffer.
[[nodiscard]] Text BuildHelpText(Translator& translator);

// Fills the page titles and header texts from the translator.
void PreparePageHeaders(Translator& translator, PageHeaders& headers);

}  // namespace tarn::startup
