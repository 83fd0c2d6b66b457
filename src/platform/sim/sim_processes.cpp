#include "platform/sim/sim_processes.h"

#include <algorithm>
#include <condition_variable>

#include "base/command_line_rules.h"
#include "base/paths.h"

namespace tarn::sim {

using Clock = std::chrono::steady_clock;
using platform::kWaitForever;

inline constexpr uint32_t kStillActive = 259;

namespace {

struct ProcessState {
  LaunchRecord record;
  uint32_t exitCode = 0;
  std::optional<Clock::time_point> deadline;  // none: runs until terminated
};

}  // namespace

// The one lock and condition of a table: every event change and every
// termination wakes every waiter, which then looks again.
struct SimKernel {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::shared_ptr<ProcessState>> processes;

  // Marks a process whose run time is over as ended. Caller holds the lock.
  static bool Ended(ProcessState& p, Clock::time_point now) {
    if (p.record.ended) return true;
    if (p.deadline && now >= *p.deadline) {
      p.record.ended = *p.deadline;
      p.record.exitCode = p.exitCode;
      return true;
    }
    return false;
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
  SimProcess(std::shared_ptr<SimKernel> kernel, std::shared_ptr<ProcessState> state)
      : kernel_(std::move(kernel)), state_(std::move(state)) {}

  platform::ProcessWait WaitOrAbort(platform::Event& abort) override {
    auto* event = dynamic_cast<SimEvent*>(&abort);
    if (event == nullptr || event->kernel() != kernel_.get()) return platform::ProcessWait::kFailed;
    std::unique_lock lock(kernel_->mutex);
    for (;;) {
      if (SimKernel::Ended(*state_, Clock::now())) return platform::ProcessWait::kExited;
      if (event->ConsumeLocked()) return platform::ProcessWait::kAborted;
      if (state_->deadline) {
        kernel_->changed.wait_until(lock, *state_->deadline);
      } else {
        kernel_->changed.wait(lock);
      }
    }
  }

  bool Wait(uint32_t timeoutMs) override {
    std::unique_lock lock(kernel_->mutex);
    const auto limit = timeoutMs == kWaitForever
                           ? std::optional<Clock::time_point>()
                           : Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      if (SimKernel::Ended(*state_, Clock::now())) return true;
      auto until = state_->deadline;
      if (limit && (!until || *limit < *until)) until = limit;
      if (limit && Clock::now() >= *limit) return false;
      if (until) {
        kernel_->changed.wait_until(lock, *until);
      } else {
        kernel_->changed.wait(lock);
      }
    }
  }

  WinError Terminate(uint32_t exitCode) override {
    std::lock_guard lock(kernel_->mutex);
    if (SimKernel::Ended(*state_, Clock::now())) return kErrorAccessDenied;
    state_->record.ended = Clock::now();
    state_->record.exitCode = exitCode;
    kernel_->changed.notify_all();
    return kErrorSuccess;
  }

  Result<uint32_t> ExitCode() override {
    std::lock_guard lock(kernel_->mutex);
    if (!SimKernel::Ended(*state_, Clock::now())) return kStillActive;
    return *state_->record.exitCode;
  }

 private:
  std::shared_ptr<SimKernel> kernel_;
  std::shared_ptr<ProcessState> state_;
};

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

// The built-in programs: the command interpreter answers "/c exit N" with
// exit code N, runs "/c ping ..." as ping does, and ends anything else with
// 0; ping runs for its echoes.
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
      program.durationMs = PingDuration(arguments, 3);
    }
  }
  return program;
}

}  // namespace

SimProcesses::SimProcesses(platform::Environment& environment, platform::FileSystem& files)
    : kernel_(std::make_shared<SimKernel>()), environment_(environment), files_(files) {}

SimProcesses::~SimProcesses() = default;

void SimProcesses::AddProgram(TextView name, SimProgram program) {
  programs_[ProgramKey(name)] = std::move(program);
}

void SimProcesses::SetLogonCheck(std::function<WinError(const platform::LogonCredentials&)> check) {
  logonCheck_ = std::move(check);
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

std::unique_ptr<platform::Event> SimProcesses::MakeEvent(bool manualReset, bool initiallySet) {
  return std::make_unique<SimEvent>(kernel_, manualReset, initiallySet);
}

std::optional<SimProgram> SimProcesses::FindProgram(TextView commandLine) const {
  const std::vector<Text> arguments = SplitCommandLine(commandLine);
  if (arguments.empty() || arguments[0].empty()) return std::nullopt;
  const Text nameKey = ProgramKey(FileNamePart(arguments[0]));
  for (const Text& key : {ProgramKey(arguments[0]), nameKey}) {
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
  std::optional<SimProgram> program = FindProgram(request.commandLine);
  if (!program) return Result<SimProgram>::Failure(kErrorFileNotFound);
  return std::move(*program);
}

LaunchRecord SimProcesses::MakeRecord(const platform::StartRequest& request) {
  LaunchRecord record;
  record.commandLine = Text(request.commandLine);
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

Result<std::unique_ptr<platform::Process>> SimProcesses::Start(
    const platform::StartRequest& request) {
  const Result<SimProgram> found = CheckStart(request);
  if (!found) return Result<std::unique_ptr<platform::Process>>::Failure(found.error());
  const SimProgram& program = *found;
  auto state = std::make_shared<ProcessState>();
  state->record = MakeRecord(request);
  state->exitCode = program.exitCode;
  if (program.durationMs != kWaitForever) {
    state->deadline = state->record.started + std::chrono::milliseconds(program.durationMs);
  }
  {
    std::lock_guard lock(kernel_->mutex);
    kernel_->processes.push_back(state);
  }
  if (program.onStart) program.onStart(state->record);
  return std::unique_ptr<platform::Process>(std::make_unique<SimProcess>(kernel_, state));
}

}  // namespace tarn::sim
