// Starting, waiting for and ending processes, and the events that the
// installation run and the status page share. Handles are owned objects:
// destroying one closes it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "base/result.h"
#include "base/text.h"
#include "platform/environment.h"

namespace tarn::platform {

// The time-out that never ends (INFINITE).
inline constexpr uint32_t kWaitForever = 0xFFFFFFFF;

// ERROR_LOGON_FAILURE: unknown user name or bad password.
inline constexpr WinError kErrorLogonFailure = 1326;
// ERROR_SERVICE_NOT_ACTIVE: the Secondary Logon service does not run.
inline constexpr WinError kErrorServiceNotActive = 1062;

// A synchronisation event (CreateEventW).
class Event {
 public:
  virtual ~Event() = default;
  // SetEvent.
  virtual void Set() = 0;
  // ResetEvent.
  virtual void Reset() = 0;
  // WaitForSingleObject(event, timeout): true when the event was signalled
  // (an automatic-reset event is then reset again), false on time-out.
  [[nodiscard]] virtual bool Wait(uint32_t timeoutMs) = 0;
};

// The account a process is started under (CreateProcessWithLogonW with
// LOGON_WITH_PROFILE). The texts are borrowed for the call only.
struct LogonCredentials {
  TextView name;
  TextView domain;
  TextView password;
};

// What Processes::Start is asked to do.
struct StartRequest {
  // The whole command line; its first argument is the program's own name as
  // the program sees it.
  TextView commandLine;
  // The program file to run (lpApplicationName), a full path: the system
  // then searches for nothing. Empty to let the system take the program from
  // the command line, which it looks for beside the running program, in the
  // current directory, the system folders and PATH when no path is given.
  TextView applicationName;
  // Current directory of the new process; empty for the caller's own.
  TextView workingFolder;
  // Environment block of the new process (CREATE_UNICODE_ENVIRONMENT); none
  // for the default: the caller's own environment for a plain start, the
  // account's own default environment under other credentials.
  const EnvironmentBlock* environment = nullptr;
  // Start under these credentials instead of the caller's own account.
  std::optional<LogonCredentials> logon;
};

// How WaitOrAbort ended.
enum class ProcessWait { kExited, kAborted, kTimedOut };

// A started process and the processes it starts in turn (its tree);
// destroying it closes its handles (the processes go on).
class Process {
 public:
  virtual ~Process() = default;
  // Waits for the first of the process's end, `abort` and `timeoutMs`
  // passing (WaitForMultipleObjects, any). kAborted consumes the abort
  // event's signal; kAborted and kTimedOut leave the process running. The
  // error is the system's when the wait itself fails.
  [[nodiscard]] virtual Result<ProcessWait> WaitOrAbort(Event& abort,
                                                        uint32_t timeoutMs = kWaitForever) = 0;
  // WaitForSingleObject on the process: true when it has ended in time.
  [[nodiscard]] virtual bool Wait(uint32_t timeoutMs) = 0;
  // Ends the whole tree with `exitCode` (TerminateJobObject on the job the
  // process was started in), or only the process itself (TerminateProcess)
  // when TreeError says the tree is not held. Ending is asynchronous: wait
  // for the process before taking it as gone.
  [[nodiscard]] virtual WinError Terminate(uint32_t exitCode) = 0;
  // Why Terminate cannot reach the processes this one starts (the job could
  // not be made, or the process not put into it, e.g. because the program
  // itself runs in a job that allows no nesting); kErrorSuccess when it can.
  [[nodiscard]] virtual WinError TreeError() const = 0;
  // GetExitCodeProcess: 259 (STILL_ACTIVE) while it runs.
  [[nodiscard]] virtual Result<uint32_t> ExitCode() = 0;
};

// A lock one process at a time holds on the whole machine, across sessions;
// destroying it lets the lock go.
class MachineLock {
 public:
  virtual ~MachineLock() = default;
};

class Processes {
 public:
  virtual ~Processes() = default;
  // CreateEventW(no security, manualReset, initiallySet, no name); nullptr
  // only when the system is out of handles.
  [[nodiscard]] virtual std::unique_ptr<Event> MakeEvent(bool manualReset, bool initiallySet) = 0;
  // CreateProcessW, or CreateProcessWithLogonW when `request.logon` is given.
  // STARTUPINFO is all zero but its size. The process is put into a job of
  // its own before it runs, so that everything it starts can be ended with
  // it; a job that cannot be made or joined never fails the start (see
  // Process::TreeError). The error is the thread's last-error value right
  // after the failed call.
  [[nodiscard]] virtual Result<std::unique_ptr<Process>> Start(const StartRequest& request) = 0;
  // The environment block the account of `logon` gets from its own logon:
  // LogonUserW (interactive; "." for an empty domain), its profile loaded
  // (LoadUserProfileW) and CreateEnvironmentBlock for its token without the
  // caller's variables. It holds the system's variables and the account's
  // own: USERPROFILE, USERNAME, HOMEDRIVE, HOMEPATH, APPDATA, LOCALAPPDATA
  // and the values of its hive's Environment key (TEMP, TMP, its part of
  // Path). The password is only passed on. The error is the first failed
  // call's: kErrorLogonFailure for an unknown account or a wrong password.
  [[nodiscard]] virtual Result<EnvironmentBlock> LogonEnvironment(
      const LogonCredentials& logon) = 0;
  // CreateMutexW(owned) named `name` (e.g. "Global\\..." for every session),
  // made with a protected access list that lets only Administrators and
  // SYSTEM open it, so no other account can take, hold or release it. Names
  // compare case-sensitively, as object names do. kErrorAlreadyExists while
  // any process (this one included) holds a lock of that name; the system's
  // error when the mutex can't be made or opened (kErrorAccessDenied for one
  // the caller may not open).
  [[nodiscard]] virtual Result<std::unique_ptr<MachineLock>> TakeMachineLock(TextView name) = 0;
};

}  // namespace tarn::platform
