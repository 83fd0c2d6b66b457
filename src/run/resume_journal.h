// The resume journal: a line per finished step, written through to the disk
// as each step ends, so that a run cut short (power loss, a killed process)
// can be started again with /resume and pass over what was done.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <utility>

#include "app/run_record.h"
#include "base/text.h"
#include "platform/file_system.h"

namespace tarn {
struct AppContext;
}

namespace tarn::run {

// Where the journal lives: beside the log when there is one, else beside the
// configuration.
[[nodiscard]] Text JournalPathFor(TextView logPath, TextView configurationPath);

class ResumeJournal : public app::RunObserver {
 public:
  // Reads the journal at `path` when its first line names `configuration`
  // as it is now (path, size, last write), then starts the journal afresh
  // with the steps that earlier run had done. `app` gives the file system and
  // the log, where a failed write is reported once.
  ResumeJournal(AppContext& app, TextView path, TextView configuration);
  ResumeJournal(const ResumeJournal&) = delete;
  ResumeJournal& operator=(const ResumeJournal&) = delete;

  // Done by the earlier run: its outcome was success, success-restart or warning.
  [[nodiscard]] bool AlreadyDone(app::StepKind kind, TextView key) override;
  void StepFinished(const app::StepRecord& step) override;
  // A run that reached its end leaves no journal.
  void RunFinished(const app::RunTotals& totals) override;

  // A step the earlier run did asked for a restart that has not happened yet.
  [[nodiscard]] bool EarlierRestartNeeded() const { return earlierRestart_; }

 private:
  using StepKey = std::pair<app::StepKind, Text>;
  // Takes the done steps of the journal at `path_` if it starts with `header`.
  void Load(const std::string& header);
  // Writes `line` through to the disk; the first failure is logged.
  void Append(const std::string& line);

  AppContext& app_;
  Text path_;
  // The steps the earlier run did, with their outcomes.
  std::map<StepKey, Text> done_;
  std::unique_ptr<platform::WritableFile> file_;
  bool earlierRestart_ = false;
  bool reportedFailure_ = false;
};

}  // namespace tarn::run
