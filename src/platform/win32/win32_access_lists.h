// Access lists between the portable entries and the system's ACL and
// security-descriptor structures.
#pragma once

#include <memory>
#include <span>
#include <vector>

#include "base/result.h"
#include "platform/security.h"
#include "platform/win32/win32_windows.h"
// The named-object security functions need <windows.h> first.
#include <aclapi.h>

namespace tarn::win32 {

// An ACL (revision 4) of access-allowed entries, in the given order, sized
// exactly. Empty with the error when an entry can't be added.
[[nodiscard]] Result<std::vector<uint8_t>> BuildAcl(std::span<const platform::AccessEntry> entries);
// The access-allowed entries of `acl` in order; other entry types are left
// out. A null ACL gives none.
[[nodiscard]] std::vector<platform::AccessEntry> ReadAcl(const ACL* acl);

// A security descriptor holding the access list of `entries`, protected, so
// that the list is taken as it is and not merged with what a parent passes
// down. Not copied or moved: the descriptor points into the object.
class ProtectedSecurity {
 public:
  // Null with the error when the list or the descriptor can't be made.
  [[nodiscard]] static Result<std::unique_ptr<ProtectedSecurity>> Make(
      std::span<const platform::AccessEntry> entries);
  ProtectedSecurity(const ProtectedSecurity&) = delete;
  ProtectedSecurity& operator=(const ProtectedSecurity&) = delete;

  [[nodiscard]] SECURITY_DESCRIPTOR* descriptor() { return &descriptor_; }
  // Attributes for a new object (not inheritable by child processes).
  [[nodiscard]] SECURITY_ATTRIBUTES* attributes() { return &attributes_; }

 private:
  ProtectedSecurity() = default;
  std::vector<uint8_t> acl_;
  SECURITY_DESCRIPTOR descriptor_{};
  SECURITY_ATTRIBUTES attributes_{};
};

}  // namespace tarn::win32
