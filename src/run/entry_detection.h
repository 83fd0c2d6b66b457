// Detection: an entry's "detect" test, looked at before its command (an entry
// already present is not started) and after a command that ended well (an
// entry still missing then has failed, whatever its exit code said).
#pragma once

#include "app/run_record.h"
#include "base/text.h"

namespace tarn {
struct AppContext;
}
namespace tarn::catalogue {
struct SoftwareEntry;
}

namespace tarn::run {

class RunSteps;

// Before the command of `entry`, which has a detection test: records in
// `record` what the test found. True when the entry is present: `record` is
// then its whole step (outcome present, never started) and the log says so.
// An entry an earlier, interrupted run had done is looked at again like any
// other: present, it is passed over; missing, it runs again.
[[nodiscard]] bool FoundPresentBefore(AppContext& app, RunSteps& steps,
                                      const catalogue::SoftwareEntry& entry, TextView displayName,
                                      app::StepRecord& record);

// After the command of `entry`, which has a detection test: when the command
// ended well (success or success-restart), looks again and records it; an
// entry still missing turns the step into an error ("not detected after
// installation") that keeps the exit code.
void ConfirmPresentAfter(AppContext& app, const catalogue::SoftwareEntry& entry,
                         TextView displayName, app::StepRecord& record);

}  // namespace tarn::run
