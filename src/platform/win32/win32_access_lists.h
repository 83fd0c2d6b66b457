// Access lists between the portable entries and the system's ACL and
// security-descriptor structures.
#pragma once

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

}  // namespace tarn::win32
