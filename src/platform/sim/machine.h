// A simulated Windows machine for native tests and the Linux build. It owns
// one simulation of every service; tests set the machine up through the typed
// accessors and hand platform() to the code under test.
#pragma once

#include <memory>

#include "platform/platform.h"
#include "platform/sim/fault_injection.h"
#include "platform/sim/sim_accounts.h"
#include "platform/sim/sim_desktop.h"
#include "platform/sim/sim_environment.h"
#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_identity.h"
#include "platform/sim/sim_processes.h"
#include "platform/sim/sim_profile_files.h"
#include "platform/sim/sim_registry.h"
#include "platform/sim/sim_security.h"
#include "platform/sim/sim_services.h"
#include "platform/sim/sim_system_info.h"
#include "platform/sim/sim_user_profiles.h"
#include "platform/sim/sim_version_resources.h"
#include "platform/sim/sim_windows_layout.h"

namespace tarn::sim {

// What the machine holds when it is made.
enum class MachineShape {
  // A fresh Windows 10/11 installation: profiles under C:\Users with the
  // Default and Public profiles, the compatibility junctions, the profile
  // list and the .DEFAULT user's shell folders.
  kWindows10,
  // Drive C: and the registry roots only (the profile queries still answer
  // the paths of kWindows10), for tests of one service alone.
  kBare,
};

class Machine {
 public:
  // A freshly installed machine: drive C:, a process environment with the
  // system's variables (none for kBare), the predefined registry roots with the usual open commands
  // of .exe, .bat, .cmd, .msi and .vbs files, an English (United States) system, and what `shape`
  // lays out.
  explicit Machine(MachineShape shape = MachineShape::kWindows10);
  ~Machine();
  Machine(const Machine&) = delete;
  Machine& operator=(const Machine&) = delete;

  // The simulations, for setting up and inspecting the machine.
  [[nodiscard]] SimFileSystem& files() { return *files_; }
  [[nodiscard]] SimRegistry& registry() { return *registry_; }
  [[nodiscard]] SimEnvironment& environment() { return *environment_; }
  [[nodiscard]] SimSystemInfo& system() { return *system_; }
  [[nodiscard]] SimDesktop& desktop() { return *desktop_; }
  [[nodiscard]] SimServices& services() { return *services_; }
  [[nodiscard]] SimAccounts& accounts() { return *accounts_; }
  [[nodiscard]] SimSecurity& security() { return *security_; }
  [[nodiscard]] SimUserProfiles& userProfiles() { return *userProfiles_; }
  [[nodiscard]] SimProcesses& processes() { return *processes_; }
  [[nodiscard]] SimIdentity& identity() { return *identity_; }

  // The fault plan every service of this machine asks before a call that
  // can fail; unarmed, it changes nothing.
  [[nodiscard]] FaultPlan& faults() { return faults_; }

  // The services of this machine, as the core sees them.
  [[nodiscard]] platform::Platform platform();

 private:
  FaultPlan faults_;
  // One member per simulated service, constructed in this order (later ones
  // may refer to earlier ones). A new service is one member here and one
  // line in platform().
  std::unique_ptr<SimFileSystem> files_ = std::make_unique<SimFileSystem>();
  std::unique_ptr<SimRegistry> registry_ = std::make_unique<SimRegistry>(*files_);
  std::unique_ptr<SimEnvironment> environment_ = std::make_unique<SimEnvironment>();
  std::unique_ptr<SimSystemInfo> system_ = std::make_unique<SimSystemInfo>(*registry_);
  std::unique_ptr<SimDesktop> desktop_ = std::make_unique<SimDesktop>();
  std::unique_ptr<SimServices> services_ = std::make_unique<SimServices>();
  std::unique_ptr<SimAccounts> accounts_ = std::make_unique<SimAccounts>(*system_);
  std::unique_ptr<SimSecurity> security_ = std::make_unique<SimSecurity>(*accounts_);
  std::unique_ptr<SimUserProfiles> userProfiles_ = std::make_unique<SimUserProfiles>(*environment_);
  std::unique_ptr<SimProcesses> processes_ = std::make_unique<SimProcesses>(
      *environment_, *files_, *accounts_, *registry_, *userProfiles_);
  std::unique_ptr<SimIdentity> identity_ = std::make_unique<SimIdentity>();
  std::unique_ptr<SimVersionResources> versions_ = std::make_unique<SimVersionResources>(*files_);
  std::unique_ptr<SimProfileFiles> profiles_ = std::make_unique<SimProfileFiles>(*files_, *system_);
};

}  // namespace tarn::sim
