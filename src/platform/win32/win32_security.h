// Account-name and SID look-ups through LookupAccountNameW / LookupAccountSidW,
// account rights through the local security authority's policy.
#pragma once

#include "platform/security.h"
#include "platform/win32/win32_windows.h"
// windows.h first: the security authority's header needs its types.
#include <ntsecapi.h>

namespace tarn::win32 {

// The policy functions of the account-rights operations. A test replaces
// them to see what is passed, where Wine's own are stubs.
struct LsaRightsCalls {
  decltype(&LsaOpenPolicy) openPolicy = &LsaOpenPolicy;
  decltype(&LsaClose) close = &LsaClose;
  decltype(&LsaEnumerateAccountRights) enumerateRights = &LsaEnumerateAccountRights;
  decltype(&LsaFreeMemory) freeMemory = &LsaFreeMemory;
  decltype(&LsaAddAccountRights) addRights = &LsaAddAccountRights;
  decltype(&LsaRemoveAccountRights) removeRights = &LsaRemoveAccountRights;
};

class Win32Security : public platform::Security {
 public:
  [[nodiscard]] Result<platform::AccountLookup> LookupName(TextView system, TextView name) override;
  [[nodiscard]] Result<platform::AccountLookup> LookupSid(TextView system,
                                                          const platform::Sid& sid) override;

  // Account rights.
  [[nodiscard]] Result<std::vector<Text>> EnumerateAccountRights(TextView system,
                                                                 const platform::Sid& sid) override;
  [[nodiscard]] WinError AddAccountRights(TextView system, const platform::Sid& sid,
                                          const std::vector<Text>& rights) override;
  [[nodiscard]] WinError RemoveAccountRights(TextView system, const platform::Sid& sid,
                                             const std::vector<Text>& rights) override;
  void ReplaceRightsCalls(const LsaRightsCalls& calls) { calls_ = calls; }

 private:
  LsaRightsCalls calls_;
};

}  // namespace tarn::win32
