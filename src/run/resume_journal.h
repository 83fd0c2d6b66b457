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
#include "platform/platform.h"

namespace tarn {
struct AppContext;
}

namespace tarn::run {

// The machine a journal belongs to.
struct MachineIdentity {
  // GetComputerNameW.
  Text computerName;
  // HKLM\SOFTWARE\Microsoft\Cryptography "MachineGuid", set when Windows is
  // installed; empty when it can't be read.
  Text machineGuid;
};
[[nodiscard]] MachineIdentity ReadMachineIdentity(const platform::Platform& platform);

// The machine's own folder for the program's records: "TARN" in the
// ProgramData folder the profile list names (the environment's ProgramData
// when it names none). Local to the machine, whatever the configuration is on.
[[nodiscard]] Text MachineRecordsFolder(const platform::Platform& platform);

// Where the journal of `configurationPath` lives: in MachineRecordsFolder,
// named after the configuration's file ("install.ini.journal").
[[nodiscard]] Text JournalPathFor(const platform::Platform& platform, TextView configurationPath);

class ResumeJournal : public app::RunObserver {
 public:
  // Reads the journal at `path` when its first line names `configuration`
  // as it is now (path, size, last write) and this machine, then replaces it
  // whole with the steps that earlier run had done and appends from there.
  // A journal of another machine, owned by anyone but Administrators or
  // SYSTEM, or reached through a junction or link is not used and is reported
  // (ReportWarning). A missing folder of the journal is made for the
  // administrators alone. `app` gives the file system and the log, where a
  // failed write is reported once.
  ResumeJournal(AppContext& app, TextView path, TextView configuration);
  ResumeJournal(const ResumeJournal&) = delete;
  ResumeJournal& operator=(const ResumeJournal&) = delete;

  // Done by the earlier run: its outcome was success, success-restart,
  // warning or present.
  [[nodiscard]] bool AlreadyDone(app::StepKind kind, TextView key) override;
  void StepFinished(const app::StepRecord& step) override;
  // A run that reached its end leaves no journal.
  void RunFinished(const app::RunTotals& totals) override;

  // A step the earlier run did asked for a restart that has not happened yet.
  [[nodiscard]] bool EarlierRestartNeeded() const { return earlierRestart_; }

 private:
  using StepKey = std::pair<app::StepKind, Text>;
  // Takes the done steps of the journal at `path_` if its first line is
  // `header` (mark, configuration, size, last write, computer, machine).
  void Load(const std::vector<Text>& header);
  // Why the journal at `path_` must not be believed; empty when it may be.
  [[nodiscard]] Text Distrust();
  // Writes `text` as the whole journal, then opens it for appending.
  void Start(const std::string& text);
  // Writes `line` through to the disk; the first failure is logged.
  void Append(const std::string& line);
  // Logs the first failure to write the journal.
  void ReportWriteFailure(WinError error);

  AppContext& app_;
  Text path_;
  // The steps the earlier run did, with their outcomes.
  std::map<StepKey, Text> done_;
  std::unique_ptr<platform::WritableFile> file_;
  bool earlierRestart_ = false;
  bool reportedFailure_ = false;
};

}  // namespace tarn::run
