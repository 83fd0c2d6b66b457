// The log for the administrators' log viewers ("LogFormat=cmtrace"): one line
// per step and per start and end of the run in the CMTrace line format,
// always in English, beside the program's own log, whose lines stay as they
// are. UTF-8 with a byte-order mark, CR LF, written through to the disk.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/run_record.h"
#include "base/text.h"

namespace tarn {
struct AppContext;
}
namespace tarn::platform {
class WritableFile;
}

namespace tarn::run {

// The component the run's own lines name; an entry's lines name its key.
inline constexpr TextView kCmtraceRunComponent = u"TARN";

// CMTrace line types.
enum class CmtraceType : int32_t { kInformation = 1, kWarning = 2, kError = 3 };

// Where the CMTrace log of the log at `logPath` goes: beside it, its
// extension replaced by ".cmtrace.log" ("C:\Logs\tarn.log" gives
// "C:\Logs\tarn.cmtrace.log"; a name without an extension gets it added).
[[nodiscard]] Text CmtraceLogPathFor(TextView logPath);

// One line, CR LF included, of `message` about `component` at `unixMs` (UTC,
// bias +000): <![LOG[message]LOG]!><time="HH:MM:SS.mmm+000"
// date="MM-DD-YYYY" component="..." context="" type="n" thread="" file="">.
// Line breaks in the message become blanks; a "]LOG]!>" inside it, which
// would end the message early, is broken up; quotes in the component become
// apostrophes.
[[nodiscard]] std::string CmtraceLine(TextView message, int64_t unixMs, TextView component,
                                      CmtraceType type);

// The English sentence the CMTrace log writes for `step`, and its type:
// errors and aborted steps are errors, warnings and pending steps warnings.
[[nodiscard]] Text DescribeStep(const app::StepRecord& step);
[[nodiscard]] CmtraceType StepType(const app::StepRecord& step);

class CmtraceLog : public app::RunObserver {
 public:
  // Creates the file at `path` anew, or with `append` (a resumed run)
  // continues it, and writes the line that the run of `configuration`
  // starts. A file that cannot be opened is reported once as a warning of
  // the program's log; nothing else fails.
  CmtraceLog(AppContext& app, TextView path, bool append, TextView configuration);
  ~CmtraceLog() override;
  CmtraceLog(const CmtraceLog&) = delete;
  CmtraceLog& operator=(const CmtraceLog&) = delete;

  [[nodiscard]] bool AlreadyDone(app::StepKind, TextView) override { return false; }
  void StepFinished(const app::StepRecord& step) override;
  void RunFinished(const app::RunTotals& totals) override;

 private:
  void Write(TextView message, TextView component, CmtraceType type);

  AppContext& app_;
  std::unique_ptr<platform::WritableFile> file_;
};

}  // namespace tarn::run
