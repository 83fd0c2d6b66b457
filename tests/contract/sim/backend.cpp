// The contract suites' backend in the native build: a fresh simulated
// machine per test.
#include "contract/backend.h"

#include "base/command_line_rules.h"
#include "base/paths.h"
#include "platform/sim/machine.h"

namespace tarn::contract {
namespace {

class SimBackend : public ContractBackend {
 public:
  platform::Platform platform() override { return machine_.platform(); }

  Text ScratchFolder() override {
    const Text folder = u"C:\\ContractScratch" + DecimalText(++scratchCount_);
    (void)machine_.files().MakeDirectories(folder);
    return folder;
  }

  size_t CountRunning(TextView fileName) override {
    size_t count = 0;
    for (const auto& launch : machine_.processes().launches()) {
      const auto arguments = SplitCommandLine(launch.commandLine);
      if (launch.ended || arguments.empty()) continue;
      const Text program(PathFindFileName(arguments[0]));
      if (EqualsIgnoreCase(program, fileName) || EqualsIgnoreCase(program + u".exe", fileName)) {
        ++count;
      }
    }
    return count;
  }

  bool UnderWine() const override { return false; }
  bool PrivilegeEnabled(TextView name) override {
    return machine_.services().IsPrivilegeEnabled(name);
  }
  std::string Name() const override { return "sim"; }

 private:
  // The machine disappears with the backend, scratch folders with it.
  sim::Machine machine_;
  int scratchCount_ = 0;
};

}  // namespace

std::unique_ptr<ContractBackend> MakeContractBackend() {
  return std::make_unique<SimBackend>();
}

}  // namespace tarn::contract
