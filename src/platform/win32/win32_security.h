// Account-name and SID look-ups through LookupAccountNameW / LookupAccountSidW,
// account rights through the local security authority's policy.
#pragma once

#include "platform/security.h"

namespace tarn::win32 {

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
};

}  // namespace tarn::win32
