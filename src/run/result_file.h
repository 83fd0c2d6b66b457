// The result file: a JSON report of the run for the launcher that started
// the program, replaced whole after every step and at the end, so that a
// reader never sees half a file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/run_record.h"
#include "base/text.h"

namespace tarn {
struct AppContext;
}

namespace tarn::run {

// The "$schema" member of every result file: the "$id" of the JSON Schema
// that describes it (docs/result.schema.json).
inline constexpr TextView kResultSchemaId = u"urn:tarn:result-file:1";

// The exit codes that tell the outcome (those of Windows Installer).
inline constexpr uint32_t kExitAllSucceeded = 0;
inline constexpr uint32_t kExitRestartNeeded = 3010;
inline constexpr uint32_t kExitRestartStarted = 1641;
inline constexpr uint32_t kExitFailed = 1603;
inline constexpr uint32_t kExitCancelled = 1602;

// The exit code for `totals`: a failed step, or a run that stopped on an
// error of its own, outweighs a cancel, a cancel (or
// a run that never began) a restart, a restart the program started one that
// is only needed. A run that stopped for a restart it goes on after ends
// with 1641 once the restart was asked for (else as a needed restart, after a
// failure): its last start speaks for the whole run.
[[nodiscard]] uint32_t ResultExitCode(const app::RunTotals& totals);

// "2026-12-01T07:13:42.005Z" for `unixMs`.
[[nodiscard]] std::string IsoUtcText(int64_t unixMs);

class ResultFile : public app::RunObserver {
 public:
  // Writes to `path` (absolute) about the run of `configuration`; the run
  // counts as started now. `app` gives the file system, the clock and the
  // log, where a failed write is reported once. An empty `path` keeps the
  // text in memory only (a copy for the report folder needs it).
  ResultFile(AppContext& app, TextView path, TextView configuration);

  [[nodiscard]] bool AlreadyDone(app::StepKind, TextView) override { return false; }
  void StepFinished(const app::StepRecord& step) override;
  void RunFinished(const app::RunTotals& totals) override;
  // The last write, when the program is about to end with `exitCode`.
  void Close(const app::RunTotals& totals, uint32_t exitCode);

  // Writes the file again, after a warning the run reported late.
  void Refresh() { Write(); }

  // The file's text as it stands.
  [[nodiscard]] std::string Json() const;
  // The name the run leaves the computer with: the one a successful
  // ComputerName step gave it, else the name it has.
  [[nodiscard]] Text Computer() const;

 private:
  // Replaces the file with Json(); the first failure is logged.
  void Write();

  AppContext& app_;
  Text path_;
  Text configuration_;
  int64_t startedMs_ = 0;
  std::optional<int64_t> endedMs_;
  app::RunTotals totals_;
  std::optional<uint32_t> exitCode_;
  std::vector<app::StepRecord> steps_;
  bool reportedFailure_ = false;
};

}  // namespace tarn::run
