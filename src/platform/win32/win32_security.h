// Account-name and SID look-ups through LookupAccountNameW / LookupAccountSidW.
#pragma once

#include "platform/security.h"

namespace tarn::win32 {

class Win32Security : public platform::Security {
 public:
  [[nodiscard]] Result<platform::AccountLookup> LookupName(TextView system, TextView name) override;
  [[nodiscard]] Result<platform::AccountLookup> LookupSid(TextView system,
                                                          const platform::Sid& sid) override;
};

}  // namespace tarn::win32
