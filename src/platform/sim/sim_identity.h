// The simulated computer identity: the pending computer name, the workgroup
// and the LSA secrets, with settable failures.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <utility>

#include "platform/identity.h"
#include "platform/sim/fault_injection.h"

namespace tarn::sim {

// STATUS_ACCESS_DENIED.
inline constexpr uint32_t kStatusAccessDenied = 0xC0000022;

class SimIdentity : public platform::SystemIdentity {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  SimIdentity() = default;

  // ---- Set-up for tests ----
  // Each makes the matching call fail with the code given (0 succeeds).
  void SetComputerNameResult(WinError error) { computerNameResult_ = error; }
  void SetJoinResult(WinError error) { joinResult_ = error; }
  void SetSecretResult(uint32_t status) { secretResult_ = status; }
  // Called with the workgroup after every successful join (the machine uses
  // it to keep its join information in step).
  void SetJoinListener(std::function<void(TextView)> listener) {
    joinListener_ = std::move(listener);
  }

  // ---- What the program did ----
  // The name the computer takes at its next start; none while never set.
  [[nodiscard]] const std::optional<Text>& pendingComputerName() const { return computerName_; }
  // The workgroup joined last; none while never joined.
  [[nodiscard]] const std::optional<Text>& workgroup() const { return workgroup_; }
  // The secret of the local policy stored under `keyName`, or none.
  [[nodiscard]] std::optional<Text> Secret(TextView keyName) const;
  [[nodiscard]] size_t secretCount() const { return secrets_.size(); }

  // ---- platform::SystemIdentity ----
  [[nodiscard]] WinError RenameComputer(TextView name) override;
  [[nodiscard]] WinError JoinWorkgroup(TextView workgroup) override;
  [[nodiscard]] uint32_t StorePrivateData(TextView keyName, std::optional<TextView> data) override;

 private:
  WinError computerNameResult_ = 0;
  WinError joinResult_ = 0;
  uint32_t secretResult_ = 0;
  std::optional<Text> computerName_;
  std::optional<Text> workgroup_;
  std::map<Text, Text> secrets_;  // keys upper-cased
  std::function<void(TextView)> joinListener_;
  FaultGate faults_;
};

}  // namespace tarn::sim
