#include "platform/win32/win32_processes.h"

#include <string>

#include "platform/security.h"
#include "platform/win32/win32_access_lists.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {
namespace {

class Win32Event : public platform::Event {
 public:
  explicit Win32Event(HANDLE handle) : handle_(handle) {}
  void Set() override { SetEvent(handle_.get()); }
  void Reset() override { ResetEvent(handle_.get()); }
  bool Wait(uint32_t timeoutMs) override {
    return WaitForSingleObject(handle_.get(), timeoutMs) == WAIT_OBJECT_0;
  }
  [[nodiscard]] HANDLE handle() const { return handle_.get(); }

 private:
  UniqueHandle handle_;
};

class Win32Process : public platform::Process {
 public:
  Win32Process(HANDLE process, HANDLE thread, UniqueHandle job, WinError treeError)
      : process_(process), thread_(thread), job_(std::move(job)), treeError_(treeError) {}

  Result<platform::ProcessWait> WaitOrAbort(platform::Event& abort, uint32_t timeoutMs) override {
    auto* event = dynamic_cast<Win32Event*>(&abort);
    if (event == nullptr) return Result<platform::ProcessWait>::Failure(ERROR_INVALID_HANDLE);
    const HANDLE objects[2] = {process_.get(), event->handle()};
    switch (WaitForMultipleObjects(2, objects, FALSE, timeoutMs)) {
      case WAIT_OBJECT_0:
        return platform::ProcessWait::kExited;
      case WAIT_OBJECT_0 + 1:
        return platform::ProcessWait::kAborted;
      case WAIT_TIMEOUT:
        return platform::ProcessWait::kTimedOut;
      default: {
        const DWORD error = GetLastError();
        return Result<platform::ProcessWait>::Failure(error != 0 ? error : ERROR_GEN_FAILURE);
      }
    }
  }
  bool Wait(uint32_t timeoutMs) override {
    return WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
  }
  WinError Terminate(uint32_t exitCode) override {
    const BOOL ended = job_ ? TerminateJobObject(job_.get(), exitCode)
                            : TerminateProcess(process_.get(), exitCode);
    return ended ? kErrorSuccess : GetLastError();
  }
  WinError TreeError() const override { return treeError_; }
  Result<uint32_t> ExitCode() override {
    DWORD code = 0;
    if (!GetExitCodeProcess(process_.get(), &code)) {
      return Result<uint32_t>::Failure(GetLastError());
    }
    return static_cast<uint32_t>(code);
  }

 private:
  UniqueHandle process_;
  UniqueHandle thread_;
  // Closing it leaves the processes in it running: a command may rightly
  // leave a program behind, and only Abort is meant to end the tree.
  UniqueHandle job_;
  WinError treeError_;
};

// A job for one command. Children that ask to break away may: installers
// that start detached helpers would otherwise fail where they work without
// this program.
Result<UniqueHandle> MakeJob() {
  UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
  if (!job) return Result<UniqueHandle>::Failure(GetLastError());
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_BREAKAWAY_OK;
  if (!SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                               sizeof(limits))) {
    return Result<UniqueHandle>::Failure(GetLastError());
  }
  return job;
}

BOOL StartWithLogon(const platform::StartRequest& request, const wchar_t* program,
                    wchar_t* commandLine, DWORD flags, void* environment, const wchar_t* folder,
                    PROCESS_INFORMATION& info) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring name = Wide(request.logon->name);
  std::wstring domain = Wide(request.logon->domain);
  std::wstring password = Wide(request.logon->password);
  const BOOL started = CreateProcessWithLogonW(
      name.c_str(), domain.c_str(), password.c_str(), LOGON_WITH_PROFILE, program, commandLine,
      flags | CREATE_UNICODE_ENVIRONMENT, environment, folder, &startup, &info);
  const DWORD error = GetLastError();
  SecureZeroMemory(password.data(), password.size() * sizeof(wchar_t));
  SetLastError(error);
  return started;
}

BOOL StartPlain(const wchar_t* program, wchar_t* commandLine, DWORD flags, void* environment,
                const wchar_t* folder, PROCESS_INFORMATION& info) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  if (environment != nullptr) flags |= CREATE_UNICODE_ENVIRONMENT;
  return CreateProcessW(program, commandLine, nullptr, nullptr, FALSE, flags, environment, folder,
                        &startup, &info);
}

}  // namespace

namespace {

// Owns the mutex from its creation; the system releases it as abandoned
// should the process end without this destructor.
class Win32MachineLock final : public platform::MachineLock {
 public:
  explicit Win32MachineLock(HANDLE mutex) : mutex_(mutex) {}
  ~Win32MachineLock() override { ReleaseMutex(mutex_.get()); }

 private:
  UniqueHandle mutex_;
};

}  // namespace

Result<std::unique_ptr<platform::MachineLock>> Win32Processes::TakeMachineLock(TextView name) {
  using Taken = Result<std::unique_ptr<platform::MachineLock>>;
  const platform::AccessEntry entries[] = {{platform::AdministratorsSid(), 0, MUTEX_ALL_ACCESS},
                                           {platform::LocalSystemSid(), 0, MUTEX_ALL_ACCESS}};
  auto security = ProtectedSecurity::Make(entries);
  if (!security) return Taken::Failure(security.error());
  UniqueHandle mutex(CreateMutexW((*security)->attributes(), TRUE, Wide(name).c_str()));
  // An existing mutex is opened, not owned: someone else holds the name.
  const DWORD error = GetLastError();
  if (!mutex) return Taken::Failure(error);
  if (error == ERROR_ALREADY_EXISTS) return Taken::Failure(kErrorAlreadyExists);
  return Taken(std::make_unique<Win32MachineLock>(mutex.release()));
}

std::unique_ptr<platform::Event> Win32Processes::MakeEvent(bool manualReset, bool initiallySet) {
  const HANDLE handle = CreateEventW(nullptr, manualReset, initiallySet, nullptr);
  if (handle == nullptr) return nullptr;
  return std::make_unique<Win32Event>(handle);
}

Result<std::unique_ptr<platform::Process>> Win32Processes::Start(
    const platform::StartRequest& request) {
  // CreateProcess may write into the command line, so it gets its own copy.
  WipedWide commandLine(request.commandLine);
  const std::wstring folder = Wide(request.workingFolder);
  const wchar_t* folderArg = WideOrNull(folder);
  const std::wstring application = Wide(request.applicationName);
  const wchar_t* program = WideOrNull(application);
  WipedWide block(request.environment != nullptr ? TextView(*request.environment) : TextView());
  void* environment = request.environment != nullptr ? block.get().data() : nullptr;
  Result<UniqueHandle> job = MakeJob();
  // Suspended until it is in the job, so that nothing it starts can escape.
  const DWORD flags = job ? CREATE_SUSPENDED : 0;
  PROCESS_INFORMATION info{};
  const BOOL started = request.logon ? StartWithLogon(request, program, commandLine.get().data(),
                                                      flags, environment, folderArg, info)
                                     : StartPlain(program, commandLine.get().data(), flags,
                                                  environment, folderArg, info);
  if (!started) {
    const DWORD error = GetLastError();
    return Result<std::unique_ptr<platform::Process>>::Failure(error != 0 ? error
                                                                          : ERROR_GEN_FAILURE);
  }
  WinError treeError = job ? kErrorSuccess : job.error();
  if (job && !AssignProcessToJobObject(job->get(), info.hProcess)) {
    treeError = GetLastError();
    job->reset();
  }
  if (flags & CREATE_SUSPENDED) {
    if (ResumeThread(info.hThread) == static_cast<DWORD>(-1)) {
      // A process that never runs would hold the run for ever.
      const DWORD error = GetLastError();
      TerminateProcess(info.hProcess, ERROR_PROCESS_ABORTED);
      CloseHandle(info.hThread);
      CloseHandle(info.hProcess);
      return Result<std::unique_ptr<platform::Process>>::Failure(error != 0 ? error
                                                                            : ERROR_GEN_FAILURE);
    }
  }
  return std::unique_ptr<platform::Process>(std::make_unique<Win32Process>(
      info.hProcess, info.hThread, job ? std::move(*job) : UniqueHandle(), treeError));
}

}  // namespace tarn::win32
