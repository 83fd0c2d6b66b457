#include "platform/sim/sim_services.h"

#include <array>

namespace tarn::sim {
namespace {

constexpr std::array<const char16_t*, 36> kPrivileges = {
    u"SeCreateTokenPrivilege",
    u"SeAssignPrimaryTokenPrivilege",
    u"SeLockMemoryPrivilege",
    u"SeIncreaseQuotaPrivilege",
    u"SeMachineAccountPrivilege",
    u"SeTcbPrivilege",
    u"SeSecurityPrivilege",
    u"SeTakeOwnershipPrivilege",
    u"SeLoadDriverPrivilege",
    u"SeSystemProfilePrivilege",
    u"SeSystemtimePrivilege",
    u"SeProfileSingleProcessPrivilege",
    u"SeIncreaseBasePriorityPrivilege",
    u"SeCreatePagefilePrivilege",
    u"SeCreatePermanentPrivilege",
    u"SeBackupPrivilege",
    u"SeRestorePrivilege",
    u"SeShutdownPrivilege",
    u"SeDebugPrivilege",
    u"SeAuditPrivilege",
    u"SeSystemEnvironmentPrivilege",
    u"SeChangeNotifyPrivilege",
    u"SeRemoteShutdownPrivilege",
    u"SeUndockPrivilege",
    u"SeSyncAgentPrivilege",
    u"SeEnableDelegationPrivilege",
    u"SeManageVolumePrivilege",
    u"SeImpersonatePrivilege",
    u"SeCreateGlobalPrivilege",
    u"SeTrustedCredManAccessPrivilege",
    u"SeRelabelPrivilege",
    u"SeIncreaseWorkingSetPrivilege",
    u"SeTimeZonePrivilege",
    u"SeCreateSymbolicLinkPrivilege",
    u"SeDelegateSessionUserImpersonatePrivilege",
    u"SeUnsolicitedInputPrivilege",
};

// True for the privilege names the system knows ("SeBackupPrivilege", ...).
bool IsKnownPrivilege(TextView name) {
  for (const char16_t* known : kPrivileges) {
    if (EqualsIgnoreCase(name, known)) return true;
  }
  return false;
}

}  // namespace

SimServices::SimServices() {
  for (const char16_t* name : {u"seclogon", u"EventLog", u"RpcSs", u"LanmanWorkstation",
                               u"LanmanServer", u"Schedule", u"Winmgmt"}) {
    services_[Text(name)] = ServiceState::kRunning;
  }
  for (const char16_t* name : kPrivileges) {
    // Administrators do not hold the few privileges reserved for the system.
    const TextView view(name);
    if (view == u"SeCreateTokenPrivilege" || view == u"SeTcbPrivilege" ||
        view == u"SeAssignPrimaryTokenPrivilege" || view == u"SeUnsolicitedInputPrivilege" ||
        view == u"SeSyncAgentPrivilege" || view == u"SeEnableDelegationPrivilege" ||
        view == u"SeMachineAccountPrivilege" || view == u"SeTrustedCredManAccessPrivilege" ||
        view == u"SeRelabelPrivilege" || view == u"SeLockMemoryPrivilege" ||
        view == u"SeAuditPrivilege" || view == u"SeCreatePermanentPrivilege") {
      continue;
    }
    held_.insert(Text(name));
  }
  enabled_.insert(u"SeChangeNotifyPrivilege");
}

void SimServices::SetServiceState(TextView name, ServiceState state) {
  services_[Text(name)] = state;
}

void SimServices::RemoveService(TextView name) {
  services_.erase(Text(name));
}

void SimServices::SetHeldPrivileges(std::vector<Text> names) {
  held_.clear();
  held_.insert(names.begin(), names.end());
  std::erase_if(enabled_, [this](const Text& n) { return !held_.contains(n); });
}

bool SimServices::IsPrivilegeEnabled(TextView name) const {
  return enabled_.contains(Text(name));
}

std::optional<bool> SimServices::IsServiceRunning(TextView serviceName) {
  if (faults_.Check(CallKind::kServiceQuery)) return std::nullopt;
  if (!managerAvailable_) return std::nullopt;
  const auto it = services_.find(Text(serviceName));
  if (it == services_.end()) return std::nullopt;
  return it->second == ServiceState::kRunning;
}

WinError SimServices::EnablePrivileges(const std::vector<Text>& names) {
  if (auto e = faults_.Check(CallKind::kPrivileges)) return e;
  requests_.push_back(names);
  // AdjustTokenPrivileges succeeds as a call but reports the privileges the
  // token does not hold; those it holds are enabled all the same.
  bool allAssigned = true;
  for (const Text& name : names) {
    if (!IsKnownPrivilege(name)) continue;
    if (held_.contains(name)) {
      enabled_.insert(name);
    } else {
      allAssigned = false;
    }
  }
  return allAssigned ? kErrorSuccess : kErrorNotAllAssigned;
}

WinError SimServices::DisablePrivileges(const std::vector<Text>& names) {
  if (auto e = faults_.Check(CallKind::kPrivileges)) return e;
  for (const Text& name : names) enabled_.erase(name);
  return kErrorSuccess;
}

WinError SimServices::RegisterTask(TextView name, TextView xml, TextView userId,
                                   bool serviceAccount) {
  // The Task Scheduler service must run; its folder refuses empty names.
  if (taskResult_ != 0) return taskResult_;
  if (name.empty() || xml.empty() || userId.empty()) return kErrorInvalidParameter;
  // Only a service account runs without anyone logged on.
  if (serviceAccount && !EqualsIgnoreCase(userId, u"SYSTEM")) return kErrorInvalidParameter;
  tasks_[Text(name)] = Text(xml);
  return kErrorSuccess;
}

WinError SimServices::DeleteTask(TextView name) {
  return tasks_.erase(Text(name)) != 0 ? kErrorSuccess : kErrorFileNotFound;
}

}  // namespace tarn::sim
