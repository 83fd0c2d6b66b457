// When the run restarts Windows in the middle and how a later start finds its
// place: which entries ask for a restart, whether Windows already waits for
// one, and the "/continue=" value that carries the place across the restart.
#pragma once

#include <optional>
#include <vector>

#include "app/install_config.h"
#include "app/run_record.h"
#include "base/text.h"

namespace tarn::platform {
class Registry;
}
namespace tarn::catalogue {
struct SoftwareEntry;
}

namespace tarn::run {

// Whether a command that ended as `record` needs Windows restarted before
// what it installed is complete (its exit code was judged a success that
// needs a restart: 3010, or 1641 with InstallerCodes=1). The one place that
// decides it for RestartOnRequest.
[[nodiscard]] bool EndedNeedingRestart(const app::StepRecord& record);

// Whether the run restarts Windows after `entry` ended as `record`: it
// succeeded, and either the entry asks for it ("restartafter") or
// RestartOnRequest is on and the command needs one.
[[nodiscard]] bool RestartDueAfter(const app::InstallConfig& config,
                                   const catalogue::SoftwareEntry& entry,
                                   const app::StepRecord& record);

// Whether the run may restart Windows in its middle: RestartOnRequest or
// RestartIfPending is on, an entry from `first` on asks for a restart after it,
// or this start already follows a restart.
[[nodiscard]] bool RestartsPossible(const app::InstallConfig& config,
                                    const catalogue::SoftwareEntry* first);

// Why Windows already waits for a restart, one text per reason found in the
// machine's registry (component servicing, Windows Update, a new computer
// name; with kSystemAndRenames also files to be replaced at the next start);
// empty when it does not, or when `check` is off.
[[nodiscard]] std::vector<Text> PendingRestartReasons(platform::Registry& registry,
                                                      app::PendingRestartCheck check);

// The value of "/continue=" for `place`: "<restarts>,<failed>,<entry key>".
[[nodiscard]] Text ContinueOptionValue(const app::InstallConfig::ContinuePlace& place);
// `value` read back; nullopt when it is not of that form.
[[nodiscard]] std::optional<app::InstallConfig::ContinuePlace> ParseContinueOption(TextView value);

}  // namespace tarn::run
