#include "platform/win32/win32_services.h"

#include <cstddef>
#include <vector>

#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"

namespace tarn::win32 {

std::optional<bool> Win32Services::IsServiceRunning(TextView serviceName) {
  UniqueService manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return std::nullopt;
  UniqueService service(
      OpenServiceW(manager.get(), Wide(serviceName).c_str(), SERVICE_QUERY_STATUS));
  if (!service) return std::nullopt;
  SERVICE_STATUS status{};
  if (!QueryServiceStatus(service.get(), &status)) return std::nullopt;
  return status.dwCurrentState == SERVICE_RUNNING;
}

namespace {

// One AdjustTokenPrivileges request giving every named privilege `attributes`.
WinError AdjustPrivileges(const std::vector<Text>& names, DWORD attributes) {
  UniqueHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY,
                        token.receive())) {
    return GetLastError();
  }
  std::vector<LUID> luids;
  for (const Text& name : names) {
    LUID luid{};
    if (LookupPrivilegeValueW(nullptr, Wide(name).c_str(), &luid)) luids.push_back(luid);
  }
  if (luids.empty()) return kErrorSuccess;
  // TOKEN_PRIVILEGES ends in a one-element array; room for all of them.
  std::vector<std::byte> storage(sizeof(TOKEN_PRIVILEGES) +
                                 luids.size() * sizeof(LUID_AND_ATTRIBUTES));
  auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(storage.data());
  privileges->PrivilegeCount = static_cast<DWORD>(luids.size());
  for (size_t i = 0; i < luids.size(); ++i) {
    privileges->Privileges[i].Luid = luids[i];
    privileges->Privileges[i].Attributes = attributes;
  }
  if (!AdjustTokenPrivileges(token.get(), FALSE, privileges, 0, nullptr, nullptr)) {
    return GetLastError();
  }
  // Success may still mean that some were not held (ERROR_NOT_ALL_ASSIGNED).
  return GetLastError();
}

}  // namespace

WinError Win32Services::EnablePrivileges(const std::vector<Text>& names) {
  return AdjustPrivileges(names, SE_PRIVILEGE_ENABLED);
}

WinError Win32Services::DisablePrivileges(const std::vector<Text>& names) {
  return AdjustPrivileges(names, 0);
}

}  // namespace tarn::win32
