// The computer's identity outside the registry: its name, its workgroup and
// the secret that automatic logon reads its password from.
#pragma once

#include <optional>

#include "base/result.h"
#include "base/text.h"

namespace tarn::platform {

// NETSETUP_DOMAIN_JOIN_IF_JOINED: join even when already joined. Without
// NETSETUP_JOIN_DOMAIN the name given is a workgroup.
inline constexpr uint32_t kNetSetupDomainJoinIfJoined = 0x20;

// STATUS_OBJECT_NAME_NOT_FOUND: no secret of that name to delete.
inline constexpr uint32_t kStatusObjectNameNotFound = 0xC0000034;

class SystemIdentity {
 public:
  virtual ~SystemIdentity() = default;

  // SetComputerNameW: the NetBIOS name the computer takes at its next start.
  [[nodiscard]] virtual WinError RenameComputer(TextView name) = 0;
  // NetJoinDomain(local computer, `workgroup`, no OU, no account, no password,
  // NETSETUP_DOMAIN_JOIN_IF_JOINED): makes the computer a member of the
  // workgroup of that name. A NET API or system error code.
  [[nodiscard]] virtual WinError JoinWorkgroup(TextView workgroup) = 0;
  // LsaOpenPolicy(local computer, POLICY_CREATE_SECRET),
  // LsaStorePrivateData(`keyName`, `data`), LsaClose. The local policy only:
  // a secret sent to another machine would hand it a password. `data` nullopt
  // deletes the secret (kStatusObjectNameNotFound when there is none). The
  // counted texts have a length of characters × 2 bytes and a maximum length
  // two bytes more. An NTSTATUS (0 is success).
  [[nodiscard]] virtual uint32_t StorePrivateData(TextView keyName,
                                                  std::optional<TextView> data) = 0;
};

}  // namespace tarn::platform
