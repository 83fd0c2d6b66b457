// The backend a contract suite runs against: the simulated machine in the
// native build, the real system (under Wine) in the Windows build. The same
// test cases run on both, so both answer the same way.
#pragma once

#include <memory>
#include <string>

#include "base/text.h"
#include "platform/platform.h"

namespace tarn::contract {

class ContractBackend {
 public:
  virtual ~ContractBackend() = default;

  // The services under test.
  [[nodiscard]] virtual platform::Platform platform() = 0;
  // A new, empty, writable folder (absolute Windows path, no trailing
  // backslash) that is removed with everything in it when the backend is
  // destroyed.
  [[nodiscard]] virtual Text ScratchFolder() = 0;
  // True on the win32 backend when it runs under Wine; cases for APIs that
  // Wine fakes skip with the reason (GTEST_SKIP) when this is true.
  [[nodiscard]] virtual bool UnderWine() const = 0;
  // Whether the process token has the named privilege enabled, read apart
  // from the services under test.
  [[nodiscard]] virtual bool PrivilegeEnabled(TextView name) = 0;
  // How many processes whose program file is named `fileName` (e.g.
  // "ping.exe", ignoring case) run on the machine now.
  [[nodiscard]] virtual size_t CountRunning(TextView fileName) = 0;
  // "sim" or "win32", for messages.
  [[nodiscard]] virtual std::string Name() const = 0;
};

// A fresh backend for one test.
[[nodiscard]] std::unique_ptr<ContractBackend> MakeContractBackend();

}  // namespace tarn::contract
