// The computer's identity through the real API: SetComputerNameW,
// NetJoinDomain (looked up at run time: some systems lack it) and the LSA's
// private data.
#pragma once

#include "platform/identity.h"
#include "platform/win32/win32_windows.h"
// windows.h first: the LSA header needs its types.
#include <ntsecapi.h>

namespace tarn::win32 {

// The LSA functions that store a secret. A test replaces them to see what
// is passed: Wine's LsaStorePrivateData is a stub.
struct LsaSecretCalls {
  decltype(&LsaOpenPolicy) openPolicy = &LsaOpenPolicy;
  decltype(&LsaClose) close = &LsaClose;
  decltype(&LsaStorePrivateData) storePrivateData = &LsaStorePrivateData;
};

class Win32Identity : public platform::SystemIdentity {
 public:
  void ReplaceSecretCalls(const LsaSecretCalls& calls) { calls_ = calls; }
  [[nodiscard]] WinError RenameComputer(TextView name) override;
  // ERROR_PROC_NOT_FOUND when netapi32 has no NetJoinDomain.
  [[nodiscard]] WinError JoinWorkgroup(TextView workgroup) override;
  [[nodiscard]] uint32_t StorePrivateData(TextView keyName, std::optional<TextView> data) override;

 private:
  LsaSecretCalls calls_;
};

}  // namespace tarn::win32
