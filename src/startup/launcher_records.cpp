#include "startup/launcher_records.h"

#include "app/app_context.h"
#include "app/startup_variables.h"
#include "base/format.h"
#include "run/report_copy.h"

namespace tarn::startup {

LauncherRecords::LauncherRecords(AppContext& app) {
  const app::InstallConfig& config = app.config;
  if (!config.ResultPath.empty()) {
    const Text path =
        app::MakeAbsoluteToProgram(config.ResultPath, app::ProgramFolder(*app.platform.system));
    result_ = std::make_unique<run::ResultFile>(app, path, config.IniPath);
  } else if (!config.ReportTo.empty()) {
    // The report folder gets the text a result file would hold.
    result_ = std::make_unique<run::ResultFile>(app, u"", config.IniPath);
  }
  if (config.Resume) {
    journal_ = std::make_unique<run::ResumeJournal>(
        app, run::JournalPathFor(app.platform, config.IniPath), config.IniPath);
  }
  if (config.CmtraceLog) OpenCmtraceLog(app);
}

void LauncherRecords::OpenCmtraceLog(AppContext& app) {
  if (!app.log.IsOpen()) {
    ReportWarning(app,
                  u"LogFormat=cmtrace needs a log (/log= or Log=): no CMTrace log is written.");
    return;
  }
  cmtrace_ = std::make_unique<run::CmtraceLog>(app, run::CmtraceLogPathFor(app.log.path()),
                                               /*append=*/app.config.Resume, app.config.IniPath);
}

bool LauncherRecords::AlreadyDone(app::StepKind kind, TextView key) {
  return journal_ != nullptr && journal_->AlreadyDone(kind, key);
}

void LauncherRecords::StepFinished(const app::StepRecord& step) {
  // The journal first: it is what keeps a step from running twice.
  if (journal_) journal_->StepFinished(step);
  if (result_) result_->StepFinished(step);
  if (cmtrace_) cmtrace_->StepFinished(step);
}

void LauncherRecords::RunFinished(const app::RunTotals& totals) {
  if (journal_) journal_->RunFinished(totals);
  if (result_) result_->RunFinished(totals);
  if (cmtrace_) cmtrace_->RunFinished(totals);
}

void LauncherRecords::CopyToReport(AppContext& app) {
  if (app.config.ReportTo.empty() || !result_) return;
  const WinError error =
      run::CopyToReportFolder(app, app.config.ReportTo, result_->Computer(), result_->Json());
  if (error == kErrorSuccess) return;
  ReportWarning(app, Format(u"The report folder \"%s\" could not be reached (error %u, %u tries): "
                            u"the result and the log are not copied there.",
                            {app.config.ReportTo.view(), error, run::kReportCopyTries}));
  result_->Refresh();
}

uint32_t LauncherRecords::Close(AppContext& app) {
  app::RunTotals& totals = app.runTotals;
  if (journal_ && totals.resumed && journal_->EarlierRestartNeeded()) totals.restartNeeded = true;
  const uint32_t code = app.config.ExitCodeFromResult ? run::ResultExitCode(totals) : 0;
  if (result_) result_->Close(totals, code);
  return code;
}

}  // namespace tarn::startup
