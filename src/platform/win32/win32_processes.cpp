#include "platform/win32/win32_processes.h"

#include <string>

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
  Win32Process(HANDLE process, HANDLE thread) : process_(process), thread_(thread) {}

  platform::ProcessWait WaitOrAbort(platform::Event& abort) override {
    auto* event = dynamic_cast<Win32Event*>(&abort);
    if (event == nullptr) return platform::ProcessWait::kFailed;
    const HANDLE objects[2] = {process_.get(), event->handle()};
    switch (WaitForMultipleObjects(2, objects, FALSE, INFINITE)) {
      case WAIT_OBJECT_0:
        return platform::ProcessWait::kExited;
      case WAIT_OBJECT_0 + 1:
        return platform::ProcessWait::kAborted;
      default:
        return platform::ProcessWait::kFailed;
    }
  }
  bool Wait(uint32_t timeoutMs) override {
    return WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
  }
  WinError Terminate(uint32_t exitCode) override {
    return TerminateProcess(process_.get(), exitCode) ? kErrorSuccess : GetLastError();
  }
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
};

BOOL StartWithLogon(const platform::StartRequest& request, wchar_t* commandLine, void* environment,
                    const wchar_t* folder, PROCESS_INFORMATION& info) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  std::wstring name = Wide(request.logon->name);
  std::wstring domain = Wide(request.logon->domain);
  std::wstring password = Wide(request.logon->password);
  const BOOL started = CreateProcessWithLogonW(
      name.c_str(), domain.c_str(), password.c_str(), LOGON_WITH_PROFILE, nullptr, commandLine,
      CREATE_UNICODE_ENVIRONMENT, environment, folder, &startup, &info);
  const DWORD error = GetLastError();
  SecureZeroMemory(password.data(), password.size() * sizeof(wchar_t));
  SetLastError(error);
  return started;
}

BOOL StartPlain(void* environment, wchar_t* commandLine, const wchar_t* folder,
                PROCESS_INFORMATION& info) {
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  const DWORD flags = environment != nullptr ? CREATE_UNICODE_ENVIRONMENT : 0;
  return CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, flags, environment, folder,
                        &startup, &info);
}

}  // namespace

std::unique_ptr<platform::Event> Win32Processes::MakeEvent(bool manualReset, bool initiallySet) {
  const HANDLE handle = CreateEventW(nullptr, manualReset, initiallySet, nullptr);
  if (handle == nullptr) return nullptr;
  return std::make_unique<Win32Event>(handle);
}

Result<std::unique_ptr<platform::Process>> Win32Processes::Start(
    const platform::StartRequest& request) {
  // CreateProcess may write into the command line, so it gets its own copy.
  std::wstring commandLine = Wide(request.commandLine);
  const std::wstring folder = Wide(request.workingFolder);
  const wchar_t* folderArg = WideOrNull(folder);
  std::wstring block;
  void* environment = nullptr;
  if (request.environment != nullptr) {
    block = Wide(*request.environment);
    environment = block.data();
  }
  PROCESS_INFORMATION info{};
  const BOOL started =
      request.logon ? StartWithLogon(request, commandLine.data(), environment, folderArg, info)
                    : StartPlain(environment, commandLine.data(), folderArg, info);
  if (!started) {
    const DWORD error = GetLastError();
    return Result<std::unique_ptr<platform::Process>>::Failure(error != 0 ? error
                                                                          : ERROR_GEN_FAILURE);
  }
  return std::unique_ptr<platform::Process>(
      std::make_unique<Win32Process>(info.hProcess, info.hThread));
}

}  // namespace tarn::win32
