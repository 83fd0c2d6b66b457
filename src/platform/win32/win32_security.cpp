#include "platform/win32/win32_security.h"

#include <vector>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace tarn::win32 {

namespace {

using platform::AccountLookup;

constexpr DWORD kSidBytes = 256;
constexpr DWORD kNameCharacters = 256;

// The account name of `sid` as the system spells it; `fallback` when the SID
// cannot be turned back into a name.
Text SystemSpelling(const std::wstring& system, std::vector<uint8_t>& sid, TextView fallback) {
  std::wstring name(kNameCharacters, L'\0');
  DWORD nameSize = kNameCharacters;
  std::wstring domain(kNameCharacters, L'\0');
  DWORD domainSize = kNameCharacters;
  SID_NAME_USE use = SidTypeUnknown;
  if (!LookupAccountSidW(WideOrNull(system), sid.data(), name.data(), &nameSize, domain.data(),
                         &domainSize, &use)) {
    return Text(fallback);
  }
  return FromWide(name.c_str());
}

}  // namespace

Result<AccountLookup> Win32Security::LookupName(TextView system, TextView name) {
  const std::wstring systemName = Wide(system);
  const std::wstring accountName = Wide(name);
  std::vector<uint8_t> sid(kSidBytes);
  DWORD sidSize = kSidBytes;
  std::wstring domain(kNameCharacters, L'\0');
  DWORD domainSize = kNameCharacters;
  SID_NAME_USE use = SidTypeUnknown;
  if (!LookupAccountNameW(WideOrNull(systemName), accountName.c_str(), sid.data(), &sidSize,
                          domain.data(), &domainSize, &use)) {
    return Result<AccountLookup>::Failure(GetLastError());
  }
  sid.resize(GetLengthSid(sid.data()));
  auto parsed = platform::Sid::FromBytes(sid);
  if (!parsed) return Result<AccountLookup>::Failure(ERROR_INVALID_SID);
  const size_t slash = name.find(u'\\');
  const TextView own = slash == TextView::npos ? name : name.substr(slash + 1);
  return AccountLookup{*parsed, SystemSpelling(systemName, sid, own), FromWide(domain.c_str()),
                       static_cast<uint32_t>(use)};
}

Result<AccountLookup> Win32Security::LookupSid(TextView system, const platform::Sid& sid) {
  const std::wstring systemName = Wide(system);
  std::vector<uint8_t> bytes = sid.ToBytes();
  std::wstring name(kNameCharacters, L'\0');
  DWORD nameSize = kNameCharacters;
  std::wstring domain(kNameCharacters, L'\0');
  DWORD domainSize = kNameCharacters;
  SID_NAME_USE use = SidTypeUnknown;
  if (!LookupAccountSidW(WideOrNull(systemName), bytes.data(), name.data(), &nameSize,
                         domain.data(), &domainSize, &use)) {
    return Result<AccountLookup>::Failure(GetLastError());
  }
  return AccountLookup{sid, FromWide(name.c_str()), FromWide(domain.c_str()),
                       static_cast<uint32_t>(use)};
}

}  // namespace tarn::win32
