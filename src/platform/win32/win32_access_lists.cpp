#include "platform/win32/win32_access_lists.h"

namespace tarn::win32 {

Result<std::vector<uint8_t>> BuildAcl(std::span<const platform::AccessEntry> entries) {
  using Bytes = Result<std::vector<uint8_t>>;
  std::vector<std::vector<uint8_t>> sids;
  DWORD size = sizeof(ACL);
  for (const platform::AccessEntry& entry : entries) {
    sids.push_back(entry.sid.ToBytes());
    size += static_cast<DWORD>(sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + sids.back().size());
  }
  // DWORD alignment keeps the entries where the system expects them.
  size = (size + 3) & ~DWORD{3};
  std::vector<uint8_t> acl(size);
  auto* list = reinterpret_cast<ACL*>(acl.data());
  if (!InitializeAcl(list, size, ACL_REVISION_DS)) return Bytes::Failure(GetLastError());
  for (size_t i = 0; i < entries.size(); ++i) {
    if (!AddAccessAllowedAceEx(list, ACL_REVISION_DS, entries[i].flags, entries[i].mask,
                               sids[i].data())) {
      return Bytes::Failure(GetLastError());
    }
  }
  return acl;
}

std::vector<platform::AccessEntry> ReadAcl(const ACL* acl) {
  std::vector<platform::AccessEntry> entries;
  if (acl == nullptr) return entries;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    void* raw = nullptr;
    if (!GetAce(const_cast<ACL*>(acl), i, &raw)) break;
    const auto* header = static_cast<const ACE_HEADER*>(raw);
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
    const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(raw);
    auto* sid = const_cast<DWORD*>(&allowed->SidStart);
    const DWORD length = GetLengthSid(sid);
    const auto* first = reinterpret_cast<const uint8_t*>(sid);
    auto parsed = platform::Sid::FromBytes(std::vector<uint8_t>(first, first + length));
    if (!parsed) continue;
    entries.push_back({std::move(*parsed), header->AceFlags, allowed->Mask});
  }
  return entries;
}

Result<std::unique_ptr<ProtectedSecurity>> ProtectedSecurity::Make(
    std::span<const platform::AccessEntry> entries) {
  using Made = Result<std::unique_ptr<ProtectedSecurity>>;
  auto acl = BuildAcl(entries);
  if (!acl) return Made::Failure(acl.error());
  std::unique_ptr<ProtectedSecurity> security(new ProtectedSecurity());
  security->acl_ = std::move(*acl);
  SECURITY_DESCRIPTOR* descriptor = &security->descriptor_;
  if (!InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(descriptor, TRUE, reinterpret_cast<ACL*>(security->acl_.data()),
                                 FALSE) ||
      !SetSecurityDescriptorControl(descriptor, SE_DACL_PROTECTED | SE_DACL_AUTO_INHERITED,
                                    SE_DACL_PROTECTED)) {
    return Made::Failure(static_cast<WinError>(GetLastError()));
  }
  security->attributes_ = {sizeof(SECURITY_ATTRIBUTES), descriptor, FALSE};
  return Made(std::move(security));
}

}  // namespace tarn::win32
