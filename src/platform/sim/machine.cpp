#include "platform/sim/machine.h"

#include "platform/sim/sim_profile_deletion.h"

namespace tarn::sim {
namespace {

// The open commands a fresh system registers for programs, installer
// packages and scripts, with the system's own quotes around "%1".
void RegisterUsualFileTypes(SimRegistry& registry) {
  struct FileType {
    const char16_t* extension;
    const char16_t* type;
    const char16_t* command;
    uint32_t valueType;
  };
  static constexpr FileType kTypes[] = {
      {u".exe", u"exefile", u"\"%1\" %*", platform::kRegSz},
      {u".bat", u"batfile", u"\"%1\" %*", platform::kRegSz},
      {u".cmd", u"cmdfile", u"\"%1\" %*", platform::kRegSz},
      {u".msi", u"Msi.Package", u"\"%SystemRoot%\\System32\\msiexec.exe\" /i \"%1\" %*",
       platform::kRegExpandSz},
      {u".vbs", u"VBSFile", u"\"%SystemRoot%\\System32\\WScript.exe\" \"%1\" %*",
       platform::kRegExpandSz},
  };
  for (const FileType& t : kTypes) {
    (void)registry.Put(platform::kClassesRoot, t.extension, u"",
                       platform::RegValue::FromText(t.type));
    (void)registry.Put(platform::kClassesRoot, Text(t.type) + u"\\shell\\open\\command", u"",
                       platform::RegValue::FromText(t.command, t.valueType));
  }
}

}  // namespace

Machine::Machine(MachineShape shape) {
  for (FaultGate* gate :
       {&files_->faults(), &registry_->faults(), &environment_->faults(), &system_->faults(),
        &services_->faults(), &accounts_->faults(), &security_->faults(), &userProfiles_->faults(),
        &processes_->faults(), &identity_->faults(), &profiles_->faults()}) {
    gate->Attach(faults_);
  }
  RegisterUsualFileTypes(*registry_);
  if (shape == MachineShape::kWindows10) {
    LayOutWindows10(*files_, *registry_, accounts_->UserSid(platform::kRidAdministrator).ToText());
    // Every process on Windows starts with the system's variables.
    for (const auto& [name, value] : userProfiles_->systemVariables()) {
      (void)environment_->Set(name, TextView(value));
    }
  }
  // Loading and saving hives needs the backup and restore privileges
  // enabled in the process token, as on the real system.
  registry_->SetPrivilegeCheck(
      [services = services_.get()](TextView name) { return services->IsPrivilegeEnabled(name); });
  userProfiles_->SetProfileDeleter(
      [registry = registry_.get(), files = files_.get()](TextView sid) {
        return DeleteSimProfile(*registry, *files, sid);
      });
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
