// One run of TARN on a machine at a time. A RunOnce entry, a start-up task
// and a person may each start it, and two runs would fight over the
// accounts, the resume journal and the result file.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/processes.h"
#include "resource.h"
#include "startup/command_line.h"

namespace tarn {
struct AppContext;
}

namespace tarn::startup {

// The machine lock's name: in the global namespace, so that runs in other
// sessions (a start-up task as SYSTEM, a person at the console) meet it.
inline constexpr char16_t kInstanceLockName[] = u"Global\\TARN.Installation";
// ERROR_INSTALL_ALREADY_RUNNING: what a refused start ends with, whatever
// "/exitcode=" says, as an installer does.
inline constexpr uint32_t kExitAlreadyRunning = 1618;
// Translator text logged by a refused start.
inline constexpr uint32_t kTextAlreadyRunning = IDS_ALREADY_RUNNING;
// The refused start's log is the configured one with this added: the
// configured file belongs to the run that holds the lock.
inline constexpr char16_t kRefusedLogSuffix[] = u".refused";

// Whether what `options` ask for changes the machine or the run's records,
// and so needs the lock: the run (resumed or not) and the downgrade; not the
// help, the version, the plan, nor the scrambling of the users file's passwords.
[[nodiscard]] bool NeedsInstanceLock(const CommandLineOutcome& options);

// What TakeInstanceLock found.
struct InstanceClaim {
  // Held until the program ends; none when not taken.
  std::unique_ptr<platform::MachineLock> lock;
  // Another run holds the lock: this start must end with kExitAlreadyRunning.
  bool refused = false;
};

// Takes the machine lock. A lock another process holds, or one this account
// may not open (a run as an administrator or SYSTEM made it), refuses the
// start. Any other failure says nothing about another run: the start goes
// on without the lock, as it did before there was one.
[[nodiscard]] InstanceClaim TakeInstanceLock(AppContext& app);

// Writes the refusal's line to the log `logPath` (expanded) with
// kRefusedLogSuffix added, when `logPath` is not empty, and closes it.
void LogRefusedStart(AppContext& app, TextView logPath);

}  // namespace tarn::startup
