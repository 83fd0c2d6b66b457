// A simulated process table: programs are scripts (exit code, run time, a side
// effect at start, a child they start) looked up by the program named in the
// command line. Every start is recorded with its command line, folder,
// account and environment. Each start the program makes gets a job of its
// own, which the children it starts join, so that ending it ends the tree.
// Events and processes of one table share one lock, so a wait can end on
// either an event or a process, from any thread.
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
};

struct SimKernel;
struct SimProcessState;

class SimProcesses : public platform::Processes {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // `environment` is what a plain start inherits; `files` must hold the
  // working folder. Both must outlive the table.
  SimProcesses(platform::Environment& environment, platform::FileSystem& files);
  ~SimProcesses() override;

  // ---- Set-up for tests ----
  // Registers a program by a full path or a file name ("setup.exe"; ".exe"
  // may be left out when starting it). Names compare ignoring case. A program
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

  // ---- platform::Processes ----
  [[nodiscard]] std::unique_ptr<platform::Event> MakeEvent(bool manualReset,
                                                           bool initiallySet) override;
  [[nodiscard]] Result<std::unique_ptr<platform::Process>> Start(
      const platform::StartRequest& request) override;

 private:
  [[nodiscard]] std::optional<SimProgram> FindProgram(TextView commandLine) const;
  // The program a start would run, or why the start is refused.
  [[nodiscard]] Result<SimProgram> CheckStart(const platform::StartRequest& request) const;
  [[nodiscard]] LaunchRecord MakeRecord(const platform::StartRequest& request);
  // Enters a process, the child it starts, that child's child and so on into
  // the table. The records and programs of all of them are added to
  // `started`, in order, so that their start hooks can run outside the lock.
  std::shared_ptr<SimProcessState> Enter(LaunchRecord record, const SimProgram& program,
                                         uint32_t job, WinError treeError,
                                         std::vector<std::pair<LaunchRecord, SimProgram>>& started);

  std::shared_ptr<SimKernel> kernel_;
  platform::Environment& environment_;
  platform::FileSystem& files_;
  std::map<Text, SimProgram> programs_;  // keyed by the upper-case name
  std::function<WinError(const platform::LogonCredentials&)> logonCheck_;
  WinError jobRefusal_ = kErrorSuccess;
  FaultGate faults_;
};

}  // namespace tarn::sim
