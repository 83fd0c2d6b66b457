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

namespace {

// POLICY_LOOKUP_NAMES with what the rights calls need: reading the
// account's entry, creating it on the first grant.
constexpr ACCESS_MASK kRightsAccess = POLICY_LOOKUP_NAMES | POLICY_VIEW_LOCAL_INFORMATION |
                                      POLICY_CREATE_ACCOUNT | POLICY_READ | POLICY_WRITE;

// An open policy handle, closed on scope exit.
class Policy {
 public:
  Policy(const LsaRightsCalls& calls, TextView system) : calls_(calls) {
    std::wstring name = Wide(system);
    LSA_UNICODE_STRING server{};
    if (!name.empty()) {
      server.Buffer = name.data();
      server.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
      server.MaximumLength = static_cast<USHORT>(server.Length + sizeof(wchar_t));
    }
    LSA_OBJECT_ATTRIBUTES attributes{};
    status_ =
        calls_.openPolicy(name.empty() ? nullptr : &server, &attributes, kRightsAccess, &handle_);
    if (status_ != 0) handle_ = nullptr;
  }
  Policy(const Policy&) = delete;
  Policy& operator=(const Policy&) = delete;
  ~Policy() {
    if (handle_ != nullptr) calls_.close(handle_);
  }
  [[nodiscard]] LSA_HANDLE get() const { return handle_; }
  [[nodiscard]] WinError error() const { return LsaNtStatusToWinError(status_); }

 private:
  const LsaRightsCalls& calls_;
  LSA_HANDLE handle_ = nullptr;
  NTSTATUS status_ = 0;
};

// Counted strings over `names`, which must outlive them.
std::vector<LSA_UNICODE_STRING> Counted(std::vector<std::wstring>& names) {
  std::vector<LSA_UNICODE_STRING> counted(names.size());
  for (size_t i = 0; i < names.size(); ++i) {
    counted[i].Buffer = names[i].data();
    counted[i].Length = static_cast<USHORT>(names[i].size() * sizeof(wchar_t));
    counted[i].MaximumLength = static_cast<USHORT>(counted[i].Length + sizeof(wchar_t));
  }
  return counted;
}

std::vector<std::wstring> WideAll(const std::vector<Text>& texts) {
  std::vector<std::wstring> wide;
  wide.reserve(texts.size());
  for (const Text& text : texts) wide.push_back(Wide(text));
  return wide;
}

}  // namespace

Result<std::vector<Text>> Win32Security::EnumerateAccountRights(TextView system,
                                                                const platform::Sid& sid) {
  using Answer = Result<std::vector<Text>>;
  Policy policy(calls_, system);
  if (policy.get() == nullptr) return Answer::Failure(policy.error());
  std::vector<uint8_t> bytes = sid.ToBytes();
  PLSA_UNICODE_STRING rights = nullptr;
  ULONG count = 0;
  const NTSTATUS status = calls_.enumerateRights(policy.get(), bytes.data(), &rights, &count);
  if (status != 0) return Answer::Failure(LsaNtStatusToWinError(status));
  std::vector<Text> names;
  for (ULONG i = 0; i < count; ++i) {
    names.push_back(FromWide(rights[i].Buffer, rights[i].Length / sizeof(wchar_t)));
  }
  calls_.freeMemory(rights);
  return names;
}

WinError Win32Security::AddAccountRights(TextView system, const platform::Sid& sid,
                                         const std::vector<Text>& rights) {
  Policy policy(calls_, system);
  if (policy.get() == nullptr) return policy.error();
  std::vector<uint8_t> bytes = sid.ToBytes();
  std::vector<std::wstring> names = WideAll(rights);
  std::vector<LSA_UNICODE_STRING> counted = Counted(names);
  return LsaNtStatusToWinError(calls_.addRights(policy.get(), bytes.data(), counted.data(),
                                                static_cast<ULONG>(counted.size())));
}

WinError Win32Security::RemoveAccountRights(TextView system, const platform::Sid& sid,
                                            const std::vector<Text>& rights) {
  Policy policy(calls_, system);
  if (policy.get() == nullptr) return policy.error();
  std::vector<uint8_t> bytes = sid.ToBytes();
  std::vector<std::wstring> names = WideAll(rights);
  std::vector<LSA_UNICODE_STRING> counted = Counted(names);
  return LsaNtStatusToWinError(calls_.removeRights(
      policy.get(), bytes.data(), FALSE, counted.data(), static_cast<ULONG>(counted.size())));
}

}  // namespace tarn::win32
