// What a run did, step by step, for the launchers that start the program
// unattended: the result file, the exit code and the resume journal are all
// built from these records. Nothing here ever holds a password.
#pragma once

#include <cstdint>
#include <optional>

#include "app/exit_class.h"
#include "base/text.h"

namespace tarn::app {

// How one step ended. The names are those the result file writes.
enum class Outcome : int32_t {
  kSuccess,         // "success"
  kSuccessRestart,  // "success-restart": done, the computer must restart
  kWarning,         // "warning": done, but something was not as asked
  kError,           // "error"
  kSkipped,         // "skipped": not started (resumed run, given-up account, ...)
  kAborted,         // "aborted": ended by Abort, Cancel or a time limit
  kPending,         // "pending": still to be done; the run ended before it could be
  kPresent,         // "present": not started, its detection found it already there
};

// The result file's name of `outcome`.
[[nodiscard]] TextView OutcomeName(Outcome outcome);

enum class StepKind : int32_t {
  kAccount,    // one record of the users section
  kEntry,      // one software entry with a command
  kDowngrade,  // the primary account made a standard user after the commands
  kSetting,    // one system setting: computer name, owner, automatic logon, ...
  kRestart,    // Windows restarted in the middle of the run, which goes on after it
};

// The result file's and the journal's name of `kind`.
[[nodiscard]] TextView StepKindName(StepKind kind);
// The word that opens a step's line in a readable log ("Restart after").
[[nodiscard]] TextView StepKindLogWord(StepKind kind);
// The kind named `name`; nullopt for a name no kind has.
[[nodiscard]] std::optional<StepKind> StepKindNamed(TextView name);

// One finished step.
struct StepRecord {
  StepKind kind = StepKind::kEntry;
  // Stable across runs of the same configuration: an entry's
  // catalogue::SoftwareEntry::Key, an account's name as the users section
  // gives it (before any rename).
  Text key;
  // For people: the entry's expanded description, the account's name.
  Text name;
  // What was done: "command" for entries; "create", "change", "rename" or
  // "delete" for accounts; "downgrade"; "set", "remove" or "restore" for
  // settings.
  Text action;
  // The command's last exit code; none for accounts and for commands that
  // never started. A downgrade or setting that failed: the system's error
  // code.
  std::optional<uint32_t> exitCode;
  Outcome outcome = Outcome::kSuccess;
  // Milliseconds since 1970-01-01 00:00 UTC, and how long the step took.
  int64_t startUnixMs = 0;
  uint64_t durationMs = 0;
  // How often the command was started (more than one after busy retries).
  uint32_t tries = 0;
  // What the command's own exit code says; none when it never started or the
  // run ended it (Abort, Cancel, a time limit).
  std::optional<ExitClass> exitClass;
  // An entry with a detection test: whether it found the entry before the
  // command and after a successful one; none when not looked.
  std::optional<bool> detectedBefore;
  std::optional<bool> detectedAfter;
};

// How the run as a whole ended, for the exit code and the result file.
struct RunTotals {
  bool started = false;         // the installation run began
  bool finished = false;        // it reached its end (not cancelled)
  bool resumed = false;         // it passed over steps an earlier run had done
  bool restartNeeded = false;   // a step asked for a restart
  bool restartStarted = false;  // the program itself asked Windows to restart
  uint32_t failed = 0;          // steps whose outcome is kError or kAborted
  // The run stopped on an error of its own (an exception, events it could
  // not make), not because anybody cancelled it.
  bool endedByError = false;
  // The run stopped for a restart and goes on after it (the continue task
  // is in place); the program asks Windows to restart when it ends.
  bool continuesAfterRestart = false;
  // The restarts the run has made, counting those of earlier starts.
  uint32_t restarts = 0;
};

// Told about every step as the run goes. Called on the installation worker's
// thread; each call returns only when what it records is safe on disk.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  // Whether the step with `key` was done by an earlier run that ended
  // unexpectedly and is to be passed over now (false without /resume).
  [[nodiscard]] virtual bool AlreadyDone(StepKind kind, TextView key) = 0;
  // `step` has ended, whichever way.
  virtual void StepFinished(const StepRecord& step) = 0;
  // The run has ended (`totals.finished` false when it was cancelled). Called
  // once, after the last StepFinished and before any restart is requested.
  virtual void RunFinished(const RunTotals& totals) = 0;
};

}  // namespace tarn::app
