#include "platform/win32/win32_identity.h"

#include "platform/win32/win32_windows.h"
// windows.h first: the LSA header needs its types.
#include <ntsecapi.h>

#include <string>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_system_library.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {
namespace {

using NetJoinDomainFn = DWORD(WINAPI*)(LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, DWORD);

// A counted text over `text`: length in bytes without the terminator, maximum
// length two bytes more.
LSA_UNICODE_STRING Counted(std::wstring& text) {
  LSA_UNICODE_STRING counted{};
  counted.Buffer = text.data();
  counted.Length = static_cast<USHORT>(text.size() * sizeof(wchar_t));
  counted.MaximumLength = static_cast<USHORT>(counted.Length + sizeof(wchar_t));
  return counted;
}

}  // namespace

WinError Win32Identity::RenameComputer(TextView name) {
  const std::wstring wide = Wide(name);
  return SetComputerNameW(wide.c_str()) ? kErrorSuccess : GetLastError();
}

WinError Win32Identity::JoinWorkgroup(TextView workgroup) {
  const SystemLibrary netapi(L"netapi32.dll");
  if (netapi.error()) return netapi.error();
  const auto join = netapi.Function<NetJoinDomainFn>("NetJoinDomain");
  if (join == nullptr) return ERROR_PROC_NOT_FOUND;
  const std::wstring wide = Wide(workgroup);
  return join(nullptr, wide.c_str(), nullptr, nullptr, nullptr,
              platform::kNetSetupDomainJoinIfJoined);
}

uint32_t Win32Identity::StorePrivateData(TextView keyName, std::optional<TextView> data) {
  std::wstring key = Wide(keyName);
  std::wstring secret = data ? Wide(*data) : std::wstring();
  LSA_OBJECT_ATTRIBUTES attributes{};
  attributes.Length = sizeof(attributes);
  LSA_HANDLE opened = nullptr;
  NTSTATUS status = calls_.openPolicy(nullptr, &attributes, POLICY_CREATE_SECRET, &opened);
  if (status == 0) {
    LSA_UNICODE_STRING keyCounted = Counted(key);
    LSA_UNICODE_STRING secretCounted = Counted(secret);
    status = calls_.storePrivateData(opened, &keyCounted, data ? &secretCounted : nullptr);
    (void)calls_.close(opened);
  }
  SecureZeroMemory(secret.data(), secret.size() * sizeof(wchar_t));
  return static_cast<uint32_t>(status);
}

}  // namespace tarn::win32
