// The report folder ("ReportTo"): a folder or share many machines write to,
// where each start of the program leaves a copy of its result file and its
// log, named after the computer and the time, so one folder gives the view
// of a whole fleet. Reaching it is never a condition of the run.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/result.h"
#include "base/text.h"

namespace tarn {
struct AppContext;
}

namespace tarn::run {

// How often a copy is tried, and the pause between the tries: a share that
// is slow to answer after a network change gets a little time, a missing
// one does not hold the end of the run for long.
inline constexpr uint32_t kReportCopyTries = 3;
inline constexpr uint32_t kReportCopyPauseMs = 2000;

// "PC-042-20261209T071500Z": the name of a start's copies without their
// extension, `computer` and the UTC time `unixMs` to the second. Characters a
// file name may not hold (and path separators) become '_'; an empty name is
// "unknown".
[[nodiscard]] Text ReportCopyStem(TextView computer, int64_t unixMs);

// Copies `json` as "<stem>.json" and the open log (if any) as "<stem>.log"
// into `folder`, each written under a temporary name there and then renamed.
// Tries kReportCopyTries times with the platform's pause between them; logs
// where the copies went. Returns the last error, success when both are there;
// a failure is only reported (a warning in the log and the result file's
// warnings, by the caller's ReportWarning), never a failure of the run.
[[nodiscard]] WinError CopyToReportFolder(AppContext& app, TextView folder, TextView computer,
                                          std::string_view json);

}  // namespace tarn::run
