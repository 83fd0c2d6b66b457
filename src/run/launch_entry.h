// Running the command of one software entry: resolving it, choosing the
// working folder and the account, starting the process, waiting for it or
// for the abort event, and judging its exit code into one log line.
#pragma once

#include <cstdint>

#include "app/run_record.h"
#include "base/text.h"
#include "catalogue/software_entry.h"
#include "resource.h"
#include "run/run_status.h"

namespace tarn {
struct AppContext;
}
namespace tarn::platform {
class Environment;
}
namespace tarn::accounts {
struct UserAccount;
}

namespace tarn::run {

// The exit code a command ended by Abort gets (ERROR_PROCESS_ABORTED).
inline constexpr uint32_t kAbortedExitCode = 1067;
// The exit code a command ended at its time limit gets (ERROR_TIMEOUT).
inline constexpr uint32_t kTimedOutExitCode = 1460;
// Milliseconds a command ended at its time limit is waited for.
inline constexpr uint32_t kEndWaitMs = 30000;
// The installer's exit code for another installation in progress
// (ERROR_INSTALL_ALREADY_RUNNING), retried under InstallerCodes.
inline constexpr uint32_t kInstallerBusyExitCode = 1618;
// Translator texts of the result lines.
inline constexpr uint32_t kTextSucceeded = IDS_RUN_SUCCEEDED;     // display name
inline constexpr uint32_t kTextFailed = IDS_RUN_FAILED;           // display name, exit code
inline constexpr uint32_t kTextNotStarted = IDS_RUN_NOT_STARTED;  // error code, display name

// Capacities (terminator not counted) of the display name and of a
// description of a system code.
inline constexpr size_t kDisplayNameCapacity = 259;
inline constexpr size_t kSystemTextCapacity = 259;

// The translated formats of the result lines, looked up once per run (the
// language does not change while the run goes on).
struct ResultTexts {
  Text succeeded;
  Text failed;
  Text notStarted;
};

// The entry's description as the log and the status page name it: expanded,
// cut to kDisplayNameCapacity.
[[nodiscard]] Text DisplayNameOf(platform::Environment& environment,
                                 const catalogue::SoftwareEntry& entry);

// Looks the three result formats up in the translator.
[[nodiscard]] ResultTexts LoadResultTexts(AppContext& app);

// What one launch may use; everything outlives the launch.
struct LaunchContext {
  AppContext& app;
  RunStatus& status;
  RunSignals& signals;
  // Start commands under this account, with its own environment and the
  // program's variables, or as the program's own user when none. A password
  // its record gives reaches those commands alone: as USERPASSWORD in their
  // block and in place of %USERPASSWORD% on their command line (masked in
  // the log).
  const accounts::UserAccount* primary = nullptr;
  // The result formats, looked up once for the whole run.
  const ResultTexts& texts;
  // The folder of the program file; a relative working folder is taken
  // relative to it.
  Text programFolder;
  // Set when a command's end could not be known: it may still run, and
  // nothing that needs it gone may follow.
  bool commandLeftRunning = false;
  // How long a command ended at its time limit is waited for before the run
  // reports it still running and gives up on it (commandLeftRunning).
  uint32_t endWaitMs = kEndWaitMs;
};

// Codes with both high bits set are NT status codes.
[[nodiscard]] bool IsNtStatusCode(uint32_t code);

// `text` up to its first line break, cut to `capacity`.
[[nodiscard]] Text FirstLine(TextView text, size_t capacity = kSystemTextCapacity);

// Launches `entry` (which has a command) and writes its result line, ending
// it at its time limit and starting it again while it reports another
// installation in progress (InstallerCodes); `record` receives the entry's
// key, display name, action, exit code, outcome and tries (its times are the
// caller's). Returns the entry to go on with: the next entry of the chain
// after a command that started, the first entry after its subtree when it
// could not be started, none when the command's end cannot be known (nothing
// more may start).
[[nodiscard]] catalogue::SoftwareEntry* LaunchEntry(LaunchContext& context,
                                                    catalogue::SoftwareEntry& entry,
                                                    app::StepRecord& record);

}  // namespace tarn::run
