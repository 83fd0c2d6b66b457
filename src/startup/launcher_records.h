// What the program keeps for the launcher that started it: the result file
// and the resume journal, behind the one observer the run is given, and the
// exit code the program ends with.
#pragma once

#include <cstdint>
#include <memory>

#include "app/run_record.h"
#include "run/cmtrace_log.h"
#include "run/result_file.h"
#include "run/resume_journal.h"

namespace tarn {
struct AppContext;
}

namespace tarn::startup {

class LauncherRecords : public app::RunObserver {
 public:
  // Opens what the configuration asks for ("/result=", "/resume",
  // "LogFormat=cmtrace"); nothing when it asks for none. Paths are taken as the start-up has made
  // them (the configuration's absolute, the result file's and the log's expanded).
  explicit LauncherRecords(AppContext& app);

  // The observer for the run; none when nothing is kept.
  [[nodiscard]] app::RunObserver* observer() { return any() ? this : nullptr; }

  [[nodiscard]] bool AlreadyDone(app::StepKind kind, TextView key) override;
  void StepFinished(const app::StepRecord& step) override;
  void RunFinished(const app::RunTotals& totals) override;

  // The run's end is settled and no restart asked for yet: copies the result
  // file (the text it would hold without a path of its own) and the log to
  // the folder "ReportTo" names, when it names one. A folder it cannot reach
  // is a warning of the run (the result file is written again with it).
  void CopyToReport(AppContext& app);

  // The program is about to end: completes `app.runTotals`, writes the
  // result file a last time and returns the exit code (0 unless the exit
  // code is to tell the outcome).
  [[nodiscard]] uint32_t Close(AppContext& app);

 private:
  [[nodiscard]] bool any() const {
    return result_ != nullptr || journal_ != nullptr || cmtrace_ != nullptr;
  }
  // "LogFormat=cmtrace" beside an open log; without a log it is a warning.
  void OpenCmtraceLog(AppContext& app);

  std::unique_ptr<run::ResultFile> result_;
  std::unique_ptr<run::ResumeJournal> journal_;
  std::unique_ptr<run::CmtraceLog> cmtrace_;
};

}  // namespace tarn::startup
