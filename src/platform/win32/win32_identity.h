// The computer's identity through the real API: SetComputerNameW,
// NetJoinDomain (looked up at run time: some systems lack it) and the LSA's
// private data.
#pragma once

#include "platform/identity.h"

namespace tarn::win32 {

class Win32Identity : public platform::SystemIdentity {
 public:
  [[nodiscard]] WinError RenameComputer(TextView name) override;
  // ERROR_PROC_NOT_FOUND when netapi32 has no NetJoinDomain.
  [[nodiscard]] WinError JoinWorkgroup(TextView workgroup) override;
  [[nodiscard]] uint32_t StorePrivateData(TextView system, TextView keyName,
                                          TextView data) override;
};

}  // namespace tarn::win32
