// Processes and events through the real API: CreateProcessW,
// CreateProcessWithLogonW, job objects, WaitForMultipleObjects,
// TerminateJobObject / TerminateProcess, GetExitCodeProcess and CreateEventW.
#pragma once

#include "platform/processes.h"

namespace tarn::win32 {

class Win32Processes : public platform::Processes {
 public:
  [[nodiscard]] std::unique_ptr<platform::Event> MakeEvent(bool manualReset,
                                                           bool initiallySet) override;
  [[nodiscard]] Result<std::unique_ptr<platform::Process>> Start(
      const platform::StartRequest& request) override;
};

}  // namespace tarn::win32
