// Hostile environment sections: any bytes become the configuration file of a
// simulated machine; loading them must not crash and must keep the folder
// defaults within 260 characters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/sim/machine.h"
#include "platform/sim/sim_profile_files.h"
#include "run/installation_variables.h"

namespace {

using namespace tarn;

constexpr char16_t kFile[] = u"C:\\fuzz\\install.ini";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A machine per input: the bare one, as the layout of a whole system
  // would only slow every run down.
  sim::Machine machine(sim::MachineShape::kBare);
  (void)machine.files().MakeDirectories(u"C:\\fuzz");
  (void)machine.files().PutFile(kFile, std::span<const uint8_t>(data, size));
  (void)machine.registry().Put(platform::kLocalMachine,
                               u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion", u"ProgramFilesDir",
                               platform::RegValue::FromText(u"C:\\Program Files"));
  platform::Platform services = machine.platform();
  sim::SimProfileFiles profiles(machine.files());
  if (services.profiles == nullptr) services.profiles = &profiles;
  app::InstallConfig config;
  accounts::UserDefaults defaults;
  run::LoadEnvironmentSection(run::VariableContext{{services, {}}, &config, &defaults}, kFile);
  for (const auto& folder : defaults.ShellFolders) {
    if (folder && folder->size() > 260) std::abort();
  }
  return 0;
}
