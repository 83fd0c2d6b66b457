// A simulated process table: programs are scripts (exit code, run time, a side
// effect at start, a child they start) looked up by the program named in the
// command line. Every start is recorded with its command line, folder,
// account and environment. Each start the program makes gets a job of its
// own, which the children it starts join, so that ending it ends the tree.
// Events and processes of one table share one lock, so a wait can end on
// either an event or a process, from any thread. Accounts log on as the
// machine's account database and registry say: their environment comes from
// their profile and hive, and a simulated logon starts what the Run and
// RunOnce keys name, as Windows 10 and 11 do.
#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/processes.h"
#include "platform/sim/fault_injection.h"

namespace tarn::sim {

// One start of a process, as the table saw it.
struct LaunchRecord {
  // Unique within the table; a child names its parent's (0 for a start the
  // program made).
  uint32_t processId = 0;
  uint32_t parentProcessId = 0;
  Text commandLine;
  // The program file named apart from the command line; empty when the
  // system took it from the command line.
  Text applicationName;
  Text workingFolder;
  // Set for a start under other credentials (the password is not kept).
  std::optional<Text> accountName;
  Text accountDomain;
  // The environment the process got: the block passed, else the caller's own
  // environment for a plain start; none for an account's default environment.
  std::optional<platform::EnvironmentBlock> environment;
  // Filled when the process has ended: its exit code.
  std::optional<uint32_t> exitCode;
  // Steady-clock times of the start and of the end (terminate or run out).
  std::chrono::steady_clock::time_point started;
  std::optional<std::chrono::steady_clock::time_point> ended;
};

// What a program does when it is started.
struct SimProgram {
  uint32_t exitCode = 0;
  // Real run time in milliseconds; platform::kWaitForever runs until it is
  // terminated.
  uint32_t durationMs = 0;
  // Runs at the start, on the starting thread, with the start's record (for
  // side effects such as writing a file or a registry value).
  std::function<void(const LaunchRecord&)> onStart;
  // A command line the program starts as its child, in its folder, with its
  // account and environment. The program then ends when the child ends, with
  // the child's exit code, as "cmd.exe /c" does; `exitCode` and `durationMs`
  // are not used. A child that cannot be found ends the program with 1.
  std::optional<Text> child;
  // Its manifest asks for administrator rights (requireAdministrator): User
  // Account Control never starts it from a Run key at logon, and from a
  // RunOnce key only when the elevation prompt is approved.
  bool requiresElevation = false;
};

// What a simulated logon did with the Run and RunOnce values.
struct LogonOutcome {
  // The command lines started, in order.
  std::vector<Text> started;
  // The command lines not started: elevation refused, or an unknown program.
  std::vector<Text> notStarted;
};

struct SimKernel;
struct SimProcessState;
class SimAccounts;
class SimFileSystem;
class SimRegistry;
class SimUserProfiles;

class SimProcesses : public platform::Processes {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // `environment` is what a plain start inherits; `files` must hold the
  // working folder; `accounts`, `registry` (profile list, hives) and
  // `profiles` (system variables, profiles folder) are what a logon reads.
  // All must outlive the table.
  SimProcesses(platform::Environment& environment, SimFileSystem& files, SimAccounts& accounts,
               SimRegistry& registry, SimUserProfiles& profiles);
  ~SimProcesses() override;

  // ---- Set-up for tests ----
  // Registers a program by a full path or a file name ("setup.exe"; ".exe"
  // may be left out when starting it). Names compare ignoring case. A file
  // name is installed as a file in the system folder (".exe" added when it
  // has no extension), where a command that names it without a path finds
  // it. The system folder holds cmd.exe and ping.exe from the start. A program
  // named "cmd.exe" or "ping.exe" replaces the built-in one: cmd answers
  // "/c exit N" with exit code N, starts "/c ping ..." as its child and ends
  // with it, and ends anything else with 0; "ping -n N ..." runs for N-1
  // seconds.
  void AddProgram(TextView name, SimProgram program);
  // Decides whether a start under other credentials may log on: an error code
  // (e.g. platform::kErrorLogonFailure) refuses it. Every logon succeeds
  // without a check.
  void SetLogonCheck(std::function<WinError(const platform::LogonCredentials&)> check);
  // Makes the following starts run outside a job, as when the program itself
  // runs in a job that allows no nesting: Terminate then ends only the
  // process itself and TreeError answers `error`. 0 gives jobs again.
  void SetJobRefusal(WinError error) { jobRefusal_ = error; }
  // Makes every Terminate fail with `error` and leave the tree running, as
  // for a protected process. 0 lets them work again.
  void SetTerminateRefusal(WinError error);
  // Makes every wait on a process fail with `error`. 0 lets them work again.
  void SetWaitFailure(WinError error);

  // ---- What the program did ----
  // Every start that succeeded, in order.
  [[nodiscard]] std::vector<LaunchRecord> launches() const;

  // ---- What Windows does when a person logs on ----
  // `name` logs on and the desktop appears: its hive is loaded from the
  // profile the profile list names (unless it is loaded), then the values
  // of HKLM RunOnce (only for a member of Administrators, who may delete
  // them), HKLM Run, the account's Run and the account's RunOnce are started
  // as the account with its logon environment; an expandable value is
  // expanded in it. A RunOnce value is deleted before its command starts
  // (after it, when its name begins with "!"). A program that requires
  // elevation is never started from a Run key, and from a RunOnce key only
  // when `approveElevation` answers the prompt. kErrorLogonFailure for an
  // unknown account; the error of a hive that can't be loaded.
  [[nodiscard]] Result<LogonOutcome> SimulateLogon(TextView name, bool approveElevation = false);

  // ---- platform::Processes ----
  [[nodiscard]] std::unique_ptr<platform::Event> MakeEvent(bool manualReset,
                                                           bool initiallySet) override;
  [[nodiscard]] Result<std::unique_ptr<platform::Process>> Start(
      const platform::StartRequest& request) override;
  // The system's variables (those of the profiles service) and the
  // account's own: USERPROFILE from the profile list (the profiles folder
  // and its name before its first logon), USERNAME, USERDOMAIN, LOGONSERVER,
  // HOMEDRIVE and HOMEPATH of its home folder (else its profile), APPDATA
  // and LOCALAPPDATA where a Windows 10 profile has them, then its hive's
  // Environment values (expanded; its Path after the system's). An unknown account, another
  // computer's or a wrong password is kErrorLogonFailure, as is a refusal of the logon check.
  [[nodiscard]] Result<platform::EnvironmentBlock> LogonEnvironment(
      const platform::LogonCredentials& logon) override;
  // One table of held names for the whole machine: every AppContext made on
  // the machine is another program instance on it.
  [[nodiscard]] Result<std::unique_ptr<platform::MachineLock>> TakeMachineLock(
      TextView name) override;

 private:
  // The program `applicationName` names, or when it is empty the first
  // argument of `commandLine`; its arguments are those of `commandLine`.
  [[nodiscard]] std::optional<SimProgram> FindProgram(TextView commandLine,
                                                      TextView applicationName = {}) const;
  // The program a start would run, or why the start is refused.
  [[nodiscard]] Result<SimProgram> CheckStart(const platform::StartRequest& request) const;
  // An empty file `name` in the system folder.
  void InstallSystemProgram(TextView name);
  [[nodiscard]] LaunchRecord MakeRecord(const platform::StartRequest& request);
  // Enters a process, the child it starts, that child's child and so on into
  // the table. The records and programs of all of them are added to
  // `started`, in order, so that their start hooks can run outside the lock.
  std::shared_ptr<SimProcessState> Enter(LaunchRecord record, const SimProgram& program,
                                         uint32_t job, WinError treeError,
                                         std::vector<std::pair<LaunchRecord, SimProgram>>& started);
  // Starts `commandLine` as `name` outside any job, as the shell starts what
  // a Run key names, and runs its start hook.
  void StartAtLogon(TextView commandLine, TextView name,
                    const std::optional<platform::EnvironmentBlock>& environment,
                    const SimProgram& program);

  std::shared_ptr<SimKernel> kernel_;
  platform::Environment& environment_;
  SimFileSystem& files_;
  SimAccounts& accounts_;
  SimRegistry& registry_;
  SimUserProfiles& profiles_;
  std::map<Text, SimProgram> programs_;  // keyed by the upper-case name
  std::function<WinError(const platform::LogonCredentials&)> logonCheck_;
  WinError jobRefusal_ = kErrorSuccess;
  FaultGate faults_;
};

}  // namespace tarn::sim
