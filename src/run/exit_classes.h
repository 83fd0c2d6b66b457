// The table that turns a command's exit code into its class: the entry's own
// lists, else the run's defaults (those of Windows Installer, or with
// InstallerCodes=1 those endpoint managers use).
#pragma once

#include <cstdint>

#include "app/exit_class.h"
#include "base/text.h"

namespace tarn::app {
struct InstallConfig;
}
namespace tarn::catalogue {
struct SoftwareEntry;
}

namespace tarn::run {

// Exit codes of the default table.
inline constexpr uint32_t kExitSuccess = 0;
inline constexpr uint32_t kExitRestartRequired = 3010;    // ERROR_SUCCESS_REBOOT_REQUIRED
inline constexpr uint32_t kExitRestartWillFollow = 3011;  // ERROR_SUCCESS_RESTART_REQUIRED
inline constexpr uint32_t kExitProductInstalled = 1707;   // ERROR_INSTALL_SUCCESS
inline constexpr uint32_t kExitRestartInitiated = 1641;   // ERROR_SUCCESS_REBOOT_INITIATED
inline constexpr uint32_t kExitInstallerBusy = 1618;      // ERROR_INSTALL_ALREADY_RUNNING

// The class of `code` for `entry`, first match wins:
//   1. in the success list: success. The entry's or its section's
//      "success", else 0 (and 1707 with InstallerCodes);
//   2. in the restart list: success-restart. The entry's or its section's
//      "needsrestart", else 3010 and 3011;
//   3. with InstallerCodes, 1641 is restart-started and 1618 retry;
//   4. anything else is a failure.
[[nodiscard]] app::ExitClass ClassifyExitCode(const app::InstallConfig& config,
                                              const catalogue::SoftwareEntry& entry, uint32_t code);

// True when the entry (or its section) gives a list of its own: the log then
// names the class of its exit code beside the result line.
[[nodiscard]] bool HasOwnExitCodes(const catalogue::SoftwareEntry& entry);

// " (exit code <code>: <class>)", the note the log adds after a result line.
[[nodiscard]] Text ExitClassNote(uint32_t code, app::ExitClass exitClass);

}  // namespace tarn::run
