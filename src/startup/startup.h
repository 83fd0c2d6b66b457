// The program's start-up sequence, from the command line to the restart
// request, over the application context.
#pragma once

#include <cstdint>

#include "app/app_context.h"
#include "base/text.h"
#include "startup/failure_exit_code.h"
#include "startup/startup_hosts.h"

namespace tarn::startup {

// The two parts start-up hands work to.
struct StartupParts {
  AccountSteps& accounts;
  WizardHost& wizard;
  // Told what the exit code is to tell as soon as the options and the
  // settings say it, for the exit code of an exception; none to ignore.
  FailureExitCode* failure = nullptr;
};

// Restart reason: SHTDN_REASON_MAJOR_SOFTWARE | SHTDN_REASON_MINOR_INSTALLATION.
inline constexpr uint32_t kRestartReason = 0x30002;
// The help text buffer, in UTF-16 units, terminator included.
inline constexpr size_t kHelpTextCapacity = 9216;
inline constexpr char16_t kSecondaryLogonWarning[] = u"\"Secondary Logon\" service isn't running";

// Runs the whole program: splits `commandLine` (without the program name),
// chooses the language, sets the start-up variables, applies the options,
// opens the log, serves the one-shot modes (help, version, downgrade,
// password scrambling), reads the settings, enables the privileges, checks the
// Secondary Logon service, prepares the accounts, runs the wizard through
// the wizard host, cleans up and asks for the restart when the wizard ended
// with Finish. A run, a resumed run and a downgrade first take the machine's
// instance lock and, when another run holds it, end at once with
// kExitAlreadyRunning (whatever "/exitcode=" says) and a line beside the
// log. A run first restores a blank-password policy an earlier run left
// relaxed. Returns the process exit code: 0, unless "/exitcode=result"
// asked for the one that tells how the run ended (run::ResultExitCode; a
// failed downgrade is run::kExitFailed).
[[nodiscard]] int RunStartup(AppContext& app, TextView commandLine, const StartupParts& parts);

// `versionLine` and an empty line, then the help texts IDS_HELP_FIRST to
// IDS_HELP_LAST concatenated, cut to the help buffer.
[[nodiscard]] Text BuildHelpText(app::Translator& translator, TextView versionLine);

// Fills the page titles and header texts from the translator.
void PreparePageHeaders(app::Translator& translator, app::PageHeaders& headers);

}  // namespace tarn::startup
