// What tarn_report reads: the result files many machines left in one report
// folder, each reduced to the facts a fleet view shows, the latest run of a
// machine standing for it. Text is UTF-8 as the files hold it.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace tarn::report {

// One step of a run, as the result file lists it.
struct StepFacts {
  std::string kind;
  std::string key;
  std::string name;
  std::string outcome;
  std::optional<int64_t> exitCode;
  int64_t durationMs = 0;
};

// One result file.
struct RunFacts {
  // The file's name in the folder.
  std::string file;
  // The file's "computer" member, else the name ReportTo gave the file.
  std::string computer;
  // ISO 8601 UTC as written; `ended` empty while the run goes on.
  std::string started;
  std::string ended;
  bool finished = false;
  bool restartNeeded = false;
  bool restartStarted = false;
  int64_t restarts = 0;
  std::optional<int64_t> exitCode;
  std::vector<std::string> warnings;
  std::vector<StepFacts> steps;
};

// How a run ended, for people: "failed" (a step ended "error" or "aborted"),
// "restarting" (stopped for a restart it goes on after), "running" (no end
// yet), "cancelled", "warning" (a step or the run warned) or "success".
[[nodiscard]] std::string RunOutcome(const RunFacts& run);
// "started", "needed" or "" for the restart at the end of the run, with the
// restarts in its middle after it ("needed, 2 in the run").
[[nodiscard]] std::string RestartState(const RunFacts& run);
// Milliseconds from `started` to `ended`; nullopt while either is missing.
[[nodiscard]] std::optional<int64_t> DurationMs(const RunFacts& run);
// Milliseconds since 1970 of "2026-12-01T07:13:42.005Z"; nullopt for any
// other form.
[[nodiscard]] std::optional<int64_t> ParseUtcTime(std::string_view text);

// "PC-042" of "PC-042-20261209T071500Z.json", the name ReportTo gives a copy;
// the name without its extension when it has no such time.
[[nodiscard]] std::string ComputerFromFileName(std::string_view file);

// The facts of `json`, the text of the file named `file`; the reason as text
// when it is no result file this tool can read.
[[nodiscard]] std::variant<RunFacts, std::string> ReadRun(std::string_view file,
                                                          std::string_view json);

// A machine: its latest run (by start, then by file name) and all its runs,
// latest first.
struct MachineFacts {
  std::string computer;
  std::vector<RunFacts> runs;
  [[nodiscard]] const RunFacts& latest() const { return runs.front(); }
};

// A step key that failed on at least one machine's latest run.
struct FailedEntry {
  std::string key;
  std::string name;
  // Computer and exit code (none: never started), in machine order.
  std::vector<std::pair<std::string, std::optional<int64_t>>> machines;
};

struct UnreadableFile {
  std::string file;
  std::string reason;
};

struct Fleet {
  // By computer name, case-insensitively.
  std::vector<MachineFacts> machines;
  // By the number of machines, most first, then by key.
  std::vector<FailedEntry> failures;
  std::vector<UnreadableFile> unreadable;
};

// Groups `runs` by machine and gathers what failed in the latest runs.
[[nodiscard]] Fleet GatherFleet(std::vector<RunFacts> runs, std::vector<UnreadableFile> unreadable);

// Reads every "*.json" directly in `folder` (not its subfolders); a file
// that cannot be read or parsed is listed, never fatal. nullopt when the
// folder itself cannot be listed.
[[nodiscard]] std::optional<Fleet> ReadFleet(const std::filesystem::path& folder);

}  // namespace tarn::report
