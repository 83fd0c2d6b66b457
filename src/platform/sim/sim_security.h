// The simulated security authority's name look-ups over the simulated
// account database: local users (S-1-5-21-...-RID), the computer itself, the
// built-in groups (S-1-5-32-RID, domain "BUILTIN") and the local system
// account (S-1-5-18, domain "NT AUTHORITY").
#pragma once

#include <map>
#include <vector>

#include "platform/security.h"
#include "platform/sim/fault_injection.h"

namespace tarn::sim {

class SimAccounts;

inline constexpr uint32_t kRidLocalSystem = 18;

class SimSecurity : public platform::Security {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // `accounts` must outlive this object.
  explicit SimSecurity(SimAccounts& accounts) : accounts_(accounts) {}

  [[nodiscard]] Result<platform::AccountLookup> LookupName(TextView system, TextView name) override;
  [[nodiscard]] Result<platform::AccountLookup> LookupSid(TextView system,
                                                          const platform::Sid& sid) override;

 private:
  // Looks `name` up within `domain` (empty: any domain of this computer).
  Result<platform::AccountLookup> LookupIn(TextView domain, TextView name);

  SimAccounts& accounts_;

 public:
  // Account rights.
  [[nodiscard]] Result<std::vector<Text>> EnumerateAccountRights(TextView system,
                                                                 const platform::Sid& sid) override;
  [[nodiscard]] WinError AddAccountRights(TextView system, const platform::Sid& sid,
                                          const std::vector<Text>& rights) override;
  [[nodiscard]] WinError RemoveAccountRights(TextView system, const platform::Sid& sid,
                                             const std::vector<Text>& rights) override;

 private:
  // The policy's rights by SID text, as granted (the system's spelling).
  std::map<Text, std::vector<Text>> rights_;
  FaultGate faults_;
};

}  // namespace tarn::sim
