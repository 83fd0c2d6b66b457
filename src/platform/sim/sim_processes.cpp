#include "platform/sim/sim_processes.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <set>

#include "base/command_line_rules.h"
#include "base/paths.h"
#include "platform/sim/sim_file_system.h"

namespace tarn::sim {

using Clock = std::chrono::steady_clock;
using platform::kWaitForever;

inline constexpr uint32_t kStillActive = 259;

struct SimProcessState {
  LaunchRecord record;
  uint32_t exitCode = 0;
  std::optional<Clock::time_point> deadline;  // none: runs until terminated
  // The child whose end is this process's end (cmd.exe /c), or none.
  std::shared_ptr<SimProcessState> child;
  // The job the process belongs to; 0 for none.
  uint32_t job = 0;
  // Why it is outside a job.
  WinError treeError = kErrorSuccess;
};

// The one lock and condition of a table: every event change and every
// termination wakes every waiter, which then looks again.
struct SimKernel {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::shared_ptr<SimProcessState>> processes;
  uint32_t lastProcessId = 0;
  uint32_t lastJob = 0;
  WinError terminateRefusal = kErrorSuccess;
  WinError waitFailure = kErrorSuccess;
  // The names of the machine locks held now.
  std::set<Text> heldLocks;

  // Marks a process whose run time is over, or whose child has ended, as
  // ended. Caller holds the lock.
  static bool Ended(SimProcessState& p, Clock::time_point now) {
    if (p.record.ended) return true;
    if (p.child) {
      if (!Ended(*p.child, now)) return false;
      p.record.ended = p.child->record.ended;
      p.record.exitCode = p.child->record.exitCode;
      return true;
    }
    if (p.deadline && now >= *p.deadline) {
      p.record.ended = *p.deadline;
      p.record.exitCode = p.exitCode;
      return true;
    }
    return false;
  }

  // When a running process ends by itself; none when only Terminate ends it.
  static std::optional<Clock::time_point> EndsAt(const SimProcessState& p) {
    return p.child ? EndsAt(*p.child) : p.deadline;
  }

  // Ends a process that still runs. Caller holds the lock.
  static void End(SimProcessState& p, uint32_t exitCode, Clock::time_point now) {
    if (Ended(p, now)) return;
    p.record.ended = now;
    p.record.exitCode = exitCode;
  }
};

namespace {

class SimEvent : public platform::Event {
 public:
  SimEvent(std::shared_ptr<SimKernel> kernel, bool manualReset, bool set)
      : kernel_(std::move(kernel)), manual_(manualReset), set_(set) {}

  void Set() override {
    std::lock_guard lock(kernel_->mutex);
    set_ = true;
    kernel_->changed.notify_all();
  }
  void Reset() override {
    std::lock_guard lock(kernel_->mutex);
    set_ = false;
  }
  bool Wait(uint32_t timeoutMs) override {
    std::unique_lock lock(kernel_->mutex);
    auto signalled = [this] { return set_; };
    const bool got =
        timeoutMs == kWaitForever
            ? (kernel_->changed.wait(lock, signalled), true)
            : kernel_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), signalled);
    return got && ConsumeLocked();
  }

  // Caller holds the kernel's lock.
  bool ConsumeLocked() {
    if (!set_) return false;
    if (!manual_) set_ = false;
    return true;
  }
  [[nodiscard]] const SimKernel* kernel() const { return kernel_.get(); }

 private:
  std::shared_ptr<SimKernel> kernel_;
  bool manual_;
  bool set_;
};

class SimProcess : public platform::Process {
 public:
  SimProcess(std::shared_ptr<SimKernel> kernel, std::shared_ptr<SimProcessState> state,
             FaultGate faults)
      : kernel_(std::move(kernel)), state_(std::move(state)), faults_(faults) {}

  Result<platform::ProcessWait> WaitOrAbort(platform::Event& abort, uint32_t timeoutMs) override {
    if (auto e = faults_.Check(CallKind::kProcessWait)) return e;
    auto* event = dynamic_cast<SimEvent*>(&abort);
    if (event == nullptr || event->kernel() != kernel_.get()) {
      return Result<platform::ProcessWait>::Failure(kErrorInvalidHandle);
    }
    std::unique_lock lock(kernel_->mutex);
    if (kernel_->waitFailure) return Result<platform::ProcessWait>::Failure(kernel_->waitFailure);
    const std::optional<Clock::time_point> limit = LimitOf(timeoutMs);
    for (;;) {
      const auto now = Clock::now();
      if (SimKernel::Ended(*state_, now)) return platform::ProcessWait::kExited;
      if (event->ConsumeLocked()) return platform::ProcessWait::kAborted;
      if (limit && now >= *limit) return platform::ProcessWait::kTimedOut;
      WaitLocked(lock, limit);
    }
  }

  bool Wait(uint32_t timeoutMs) override {
    std::unique_lock lock(kernel_->mutex);
    if (kernel_->waitFailure) return false;
    const std::optional<Clock::time_point> limit = LimitOf(timeoutMs);
    for (;;) {
      if (SimKernel::Ended(*state_, Clock::now())) return true;
      if (limit && Clock::now() >= *limit) return false;
      WaitLocked(lock, limit);
    }
  }

  WinError Terminate(uint32_t exitCode) override {
    if (auto e = faults_.Check(CallKind::kProcessTerminate)) return e;
    std::lock_guard lock(kernel_->mutex);
    if (kernel_->terminateRefusal) return kernel_->terminateRefusal;
    const auto now = Clock::now();
    if (state_->job == 0) {
      if (SimKernel::Ended(*state_, now)) return kErrorAccessDenied;
      SimKernel::End(*state_, exitCode, now);
    } else {
      for (const auto& p : kernel_->processes) {
        if (p->job == state_->job) SimKernel::End(*p, exitCode, now);
      }
    }
    kernel_->changed.notify_all();
    return kErrorSuccess;
  }

  WinError TreeError() const override { return state_->treeError; }

  Result<uint32_t> ExitCode() override {
    if (auto e = faults_.Check(CallKind::kProcessExitCode)) return e;
    std::lock_guard lock(kernel_->mutex);
    if (!SimKernel::Ended(*state_, Clock::now())) return kStillActive;
    return *state_->record.exitCode;
  }

 private:
  // When a wait of `timeoutMs` gives up; none for kWaitForever.
  static std::optional<Clock::time_point> LimitOf(uint32_t timeoutMs) {
    if (timeoutMs == kWaitForever) return std::nullopt;
    return Clock::now() + std::chrono::milliseconds(timeoutMs);
  }

  // Sleeps until something changes, the process runs out or `limit` passes.
  void WaitLocked(std::unique_lock<std::mutex>& lock, std::optional<Clock::time_point> limit) {
    auto until = SimKernel::EndsAt(*state_);
    if (limit && (!until || *limit < *until)) until = limit;
    if (until) {
      kernel_->changed.wait_until(lock, *until);
    } else {
      kernel_->changed.wait(lock);
    }
  }

  std::shared_ptr<SimKernel> kernel_;
  std::shared_ptr<SimProcessState> state_;
  FaultGate faults_;
};

// The folder GetSystemDirectoryW names on the simulated machine.
constexpr TextView kSystemFolder = u"C:\\Windows\\System32";

// Upper-case key for a program name, without a trailing ".EXE".
Text ProgramKey(TextView name) {
  Text key = ToUpper(name);
  if (key.size() > 4 && TextView(key).substr(key.size() - 4) == u".EXE") key.resize(key.size() - 4);
  return key;
}

// The file name of a program path; the system takes '/' as a separator too.
Text FileNamePart(TextView path) {
  Text backslashed(path);
  std::replace(backslashed.begin(), backslashed.end(), u'/', u'\\');
  return Text(PathFindFileName(backslashed));
}

// "ping -n N host" waits about a second between its N echoes.
uint32_t PingDuration(const std::vector<Text>& arguments, size_t from) {
  for (size_t i = from; i + 1 < arguments.size(); ++i) {
    if (EqualsIgnoreCase(arguments[i], u"-n")) {
      const int32_t count = ParseDecimalPrefix(arguments[i + 1]);
      return count > 1 ? static_cast<uint32_t>(count - 1) * 1000 : 0;
    }
  }
  return 3000;
}

// The arguments from `from` on, joined again by single blanks.
Text JoinArguments(const std::vector<Text>& arguments, size_t from) {
  Text joined;
  for (size_t i = from; i < arguments.size(); ++i) {
    if (!joined.empty()) joined += u' ';
    joined += arguments[i];
  }
  return joined;
}

// The built-in programs: the command interpreter answers "/c exit N" with
// exit code N, starts "/c ping ..." as its child, and ends anything else
// with 0; ping runs for its echoes.
std::optional<SimProgram> BuiltInProgram(TextView key, const std::vector<Text>& arguments) {
  SimProgram program;
  if (key == u"PING") {
    program.durationMs = PingDuration(arguments, 1);
    return program;
  }
  if (key != u"CMD") return std::nullopt;
  if (arguments.size() >= 3 && EqualsIgnoreCase(arguments[1], u"/c")) {
    if (arguments.size() >= 4 && EqualsIgnoreCase(arguments[2], u"exit")) {
      program.exitCode = static_cast<uint32_t>(ParseDecimalPrefix(arguments[3]));
    } else if (EqualsIgnoreCase(arguments[2], u"ping")) {
      program.child = JoinArguments(arguments, 2);
    }
  }
  return program;
}

}  // namespace

SimProcesses::SimProcesses(platform::Environment& environment, SimFileSystem& files,
                           SimAccounts& accounts, SimRegistry& registry, SimUserProfiles& profiles)
    : kernel_(std::make_shared<SimKernel>()),
      environment_(environment),
      files_(files),
      accounts_(accounts),
      registry_(registry),
      profiles_(profiles) {
  // The programs every system has, named by commands without a path.
  for (const TextView name : {u"cmd.exe", u"ping.exe"}) InstallSystemProgram(name);
}

SimProcesses::~SimProcesses() = default;

void SimProcesses::AddProgram(TextView name, SimProgram program) {
  programs_[ProgramKey(name)] = std::move(program);
  if (FileNamePart(name) == name) InstallSystemProgram(name);
}

void SimProcesses::InstallSystemProgram(TextView name) {
  Text file = Text(kSystemFolder) + u"\\" + Text(name);
  if (name.find(u'.') == TextView::npos) file += u".exe";
  (void)files_.MakeDirectories(kSystemFolder);
  (void)files_.PutFile(file, {});
}

void SimProcesses::SetLogonCheck(std::function<WinError(const platform::LogonCredentials&)> check) {
  logonCheck_ = std::move(check);
}

void SimProcesses::SetTerminateRefusal(WinError error) {
  std::lock_guard lock(kernel_->mutex);
  kernel_->terminateRefusal = error;
}

void SimProcesses::SetWaitFailure(WinError error) {
  std::lock_guard lock(kernel_->mutex);
  kernel_->waitFailure = error;
}

std::vector<LaunchRecord> SimProcesses::launches() const {
  std::lock_guard lock(kernel_->mutex);
  std::vector<LaunchRecord> out;
  const auto now = Clock::now();
  for (const auto& p : kernel_->processes) {
    SimKernel::Ended(*p, now);
    out.push_back(p->record);
  }
  return out;
}

namespace {

// Held until destroyed, like the owned mutex of a process; the table lives
// as long as any lock of it.
class SimMachineLock final : public platform::MachineLock {
 public:
  SimMachineLock(std::shared_ptr<SimKernel> kernel, Text name)
      : kernel_(std::move(kernel)), name_(std::move(name)) {}
  SimMachineLock(const SimMachineLock&) = delete;
  SimMachineLock& operator=(const SimMachineLock&) = delete;
  ~SimMachineLock() override {
    const std::lock_guard<std::mutex> hold(kernel_->mutex);
    kernel_->heldLocks.erase(name_);
  }

 private:
  std::shared_ptr<SimKernel> kernel_;
  Text name_;
};

}  // namespace

Result<std::unique_ptr<platform::MachineLock>> SimProcesses::TakeMachineLock(TextView name) {
  using Taken = Result<std::unique_ptr<platform::MachineLock>>;
  const std::lock_guard<std::mutex> hold(kernel_->mutex);
  if (!kernel_->heldLocks.insert(Text(name)).second) return Taken::Failure(kErrorAlreadyExists);
  return Taken(std::make_unique<SimMachineLock>(kernel_, Text(name)));
}

std::unique_ptr<platform::Event> SimProcesses::MakeEvent(bool manualReset, bool initiallySet) {
  if (faults_.Check(CallKind::kEventCreate)) return nullptr;
  return std::make_unique<SimEvent>(kernel_, manualReset, initiallySet);
}

std::optional<SimProgram> SimProcesses::FindProgram(TextView commandLine,
                                                    TextView applicationName) const {
  const std::vector<Text> arguments = SplitCommandLine(commandLine);
  const Text program = !applicationName.empty() ? Text(applicationName)
                       : arguments.empty()      ? Text()
                                                : arguments[0];
  if (program.empty()) return std::nullopt;
  const Text nameKey = ProgramKey(FileNamePart(program));
  for (const Text& key : {ProgramKey(program), nameKey}) {
    const auto found = programs_.find(key);
    if (found != programs_.end()) return found->second;
  }
  return BuiltInProgram(nameKey, arguments);
}

Result<SimProgram> SimProcesses::CheckStart(const platform::StartRequest& request) const {
  if (request.logon && logonCheck_) {
    if (const WinError refused = logonCheck_(*request.logon)) {
      return Result<SimProgram>::Failure(refused);
    }
  }
  if (!request.workingFolder.empty() && !files_.IsDirectory(request.workingFolder)) {
    return Result<SimProgram>::Failure(kErrorDirectory);
  }
  // A program file named in full must be there, as for the system.
  if (!request.applicationName.empty()) {
    const uint32_t attributes = files_.GetAttributes(request.applicationName);
    if (attributes == platform::kInvalidFileAttributes ||
        (attributes & platform::kFileAttributeDirectory) != 0) {
      return Result<SimProgram>::Failure(kErrorFileNotFound);
    }
  }
  std::optional<SimProgram> program = FindProgram(request.commandLine, request.applicationName);
  if (!program) return Result<SimProgram>::Failure(kErrorFileNotFound);
  return std::move(*program);
}

LaunchRecord SimProcesses::MakeRecord(const platform::StartRequest& request) {
  LaunchRecord record;
  record.commandLine = Text(request.commandLine);
  record.applicationName = Text(request.applicationName);
  record.workingFolder =
      request.workingFolder.empty() ? files_.CurrentDirectory() : Text(request.workingFolder);
  if (request.logon) {
    record.accountName = Text(request.logon->name);
    record.accountDomain = Text(request.logon->domain);
  }
  if (request.environment) {
    record.environment = *request.environment;
  } else if (!request.logon) {
    record.environment = environment_.CurrentBlock();
  }
  record.started = Clock::now();
  return record;
}

std::shared_ptr<SimProcessState> SimProcesses::Enter(
    LaunchRecord record, const SimProgram& program, uint32_t job, WinError treeError,
    std::vector<std::pair<LaunchRecord, SimProgram>>& started) {
  std::optional<SimProgram> childProgram;
  if (program.child) childProgram = FindProgram(*program.child);
  auto state = std::make_shared<SimProcessState>();
  state->record = std::move(record);
  state->exitCode = program.exitCode;
  state->job = job;
  state->treeError = treeError;
  if (program.child && !childProgram) {
    // The command interpreter reports an unknown program and gives up.
    state->exitCode = 1;
    state->deadline = state->record.started;
  } else if (!program.child && program.durationMs != kWaitForever) {
    state->deadline = state->record.started + std::chrono::milliseconds(program.durationMs);
  }
  {
    std::lock_guard lock(kernel_->mutex);
    state->record.processId = ++kernel_->lastProcessId;
    kernel_->processes.push_back(state);
  }
  started.emplace_back(state->record, program);
  if (!childProgram) return state;
  LaunchRecord childRecord;
  childRecord.parentProcessId = state->record.processId;
  childRecord.commandLine = *program.child;
  childRecord.workingFolder = state->record.workingFolder;
  childRecord.accountName = state->record.accountName;
  childRecord.accountDomain = state->record.accountDomain;
  childRecord.environment = state->record.environment;
  childRecord.started = Clock::now();
  auto child = Enter(std::move(childRecord), *childProgram, job, treeError, started);
  std::lock_guard lock(kernel_->mutex);
  state->child = std::move(child);
  return state;
}

Result<std::unique_ptr<platform::Process>> SimProcesses::Start(
    const platform::StartRequest& request) {
  if (auto e = faults_.Check(CallKind::kProcessStart)) return e;
  const Result<SimProgram> found = CheckStart(request);
  if (!found) return Result<std::unique_ptr<platform::Process>>::Failure(found.error());
  uint32_t job = 0;
  if (!jobRefusal_) {
    std::lock_guard lock(kernel_->mutex);
    job = ++kernel_->lastJob;
  }
  std::vector<std::pair<LaunchRecord, SimProgram>> started;
  auto state = Enter(MakeRecord(request), *found, job, jobRefusal_, started);
  for (const auto& [record, program] : started) {
    if (program.onStart) program.onStart(record);
  }
  return std::unique_ptr<platform::Process>(std::make_unique<SimProcess>(kernel_, state, faults_));
}

void SimProcesses::StartAtLogon(TextView commandLine, TextView name,
                                const std::optional<platform::EnvironmentBlock>& environment,
                                const SimProgram& program) {
  LaunchRecord record;
  record.commandLine = Text(commandLine);
  record.workingFolder = files_.CurrentDirectory();
  record.accountName = Text(name);
  record.environment = environment;
  record.started = Clock::now();
  std::vector<std::pair<LaunchRecord, SimProgram>> started;
  (void)Enter(std::move(record), program, 0, kErrorSuccess, started);
  for (const auto& [entered, what] : started) {
    if (what.onStart) what.onStart(entered);
  }
}

}  // namespace tarn::sim
