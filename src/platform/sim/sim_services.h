// Simulated service states and process token privileges.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <vector>

#include "platform/services.h"
#include "platform/sim/fault_injection.h"
#include "platform/sim/sim_environment.h"

namespace tarn::sim {

inline constexpr WinError kErrorNotAllAssigned = 1300;

enum class ServiceState { kStopped = 1, kStartPending = 2, kStopPending = 3, kRunning = 4 };

class SimServices : public platform::Services {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // A machine with the usual services running (Secondary Logon "seclogon"
  // among them) and an administrator's token: every privilege held, none
  // enabled.
  SimServices();

  // ---- Set-up for tests ----
  void SetServiceState(TextView name, ServiceState state);
  void RemoveService(TextView name);
  // Makes the service manager unreachable (queries fail).
  void SetManagerAvailable(bool available) { managerAvailable_ = available; }
  // The privileges the token holds (enabled or not).
  void SetHeldPrivileges(std::vector<Text> names);

  // ---- What the program did ----
  [[nodiscard]] bool IsPrivilegeEnabled(TextView name) const;
  // Every EnablePrivileges request, in order, with the names it passed.
  [[nodiscard]] const std::vector<std::vector<Text>>& privilegeRequests() const {
    return requests_;
  }

  // The scheduled tasks of the root folder: name and XML definition.
  [[nodiscard]] const std::map<Text, Text, NameLess>& tasks() const { return tasks_; }
  // Makes RegisterTask fail with `error` (0 to succeed again).
  void SetTaskResult(WinError error) { taskResult_ = error; }

  // ---- platform::Services ----
  [[nodiscard]] std::optional<bool> IsServiceRunning(TextView serviceName) override;
  [[nodiscard]] WinError EnablePrivileges(const std::vector<Text>& names) override;
  [[nodiscard]] WinError DisablePrivileges(const std::vector<Text>& names) override;
  [[nodiscard]] WinError RegisterTask(TextView name, TextView xml, TextView userId,
                                      bool serviceAccount) override;
  [[nodiscard]] WinError DeleteTask(TextView name) override;

 private:
  std::map<Text, Text, NameLess> tasks_;
  WinError taskResult_ = 0;
  std::map<Text, ServiceState, NameLess> services_;
  std::set<Text, NameLess> held_;
  std::set<Text, NameLess> enabled_;
  std::vector<std::vector<Text>> requests_;
  bool managerAvailable_ = true;
  FaultGate faults_;
};

}  // namespace tarn::sim
