// Processes and events through the real API: CreateProcessW,
// CreateProcessWithLogonW, job objects, WaitForMultipleObjects,
// TerminateJobObject / TerminateProcess, GetExitCodeProcess and CreateEventW;
// an account's logon environment through LogonUserW, LoadUserProfileW and
// CreateEnvironmentBlock; the machine lock through CreateMutexW.
#pragma once

#include "platform/processes.h"

namespace tarn::win32 {

class Win32Processes : public platform::Processes {
 public:
  [[nodiscard]] std::unique_ptr<platform::Event> MakeEvent(bool manualReset,
                                                           bool initiallySet) override;
  [[nodiscard]] Result<std::unique_ptr<platform::Process>> Start(
      const platform::StartRequest& request) override;
  [[nodiscard]] Result<platform::EnvironmentBlock> LogonEnvironment(
      const platform::LogonCredentials& logon) override;
  [[nodiscard]] Result<std::unique_ptr<platform::MachineLock>> TakeMachineLock(
      TextView name) override;
};

}  // namespace tarn::win32
