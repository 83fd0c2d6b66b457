#include "platform/sim/machine.h"

namespace tarn::sim {

Machine::Machine() {
  // Loading and saving hives needs the backup and restore privileges
  // enabled in the process token, as on the real system.
  registry_->SetPrivilegeCheck(
      [services = services_.get()](TextView name) { return services->IsPrivilegeEnabled(name); });
  // Joining a workgroup changes what the join information answers.
  identity_->SetJoinListener([accounts = accounts_.get()](TextView workgroup) {
    accounts->SetJoinInformation(
        platform::JoinInformation{Text(workgroup), platform::kNetSetupWorkgroupName});
  });
}

Machine::~Machine() = default;

platform::Platform Machine::platform() {
  platform::Platform p;
  p.files = files_.get();
  p.registry = registry_.get();
  p.environment = environment_.get();
  p.system = system_.get();
  p.desktop = desktop_.get();
  p.services = services_.get();
  p.accounts = accounts_.get();
  p.security = security_.get();
  p.userProfiles = userProfiles_.get();
  p.processes = processes_.get();
  p.identity = identity_.get();
  p.versions = versions_.get();
  p.profiles = profiles_.get();
  return p;
}

}  // namespace tarn::sim
