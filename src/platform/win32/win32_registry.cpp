#include "platform/win32/win32_registry.h"

#include <vector>

#include "platform/win32/win32_access_lists.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace tarn::win32 {

using platform::RegKey;
using platform::RegValue;

namespace {

HKEY ToHkey(RegKey key) {
  switch (key) {
    case platform::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case platform::kCurrentUser:
      return HKEY_CURRENT_USER;
    case platform::kLocalMachine:
      return HKEY_LOCAL_MACHINE;
    case platform::kUsers:
      return HKEY_USERS;
    default:
      return reinterpret_cast<HKEY>(static_cast<uintptr_t>(key));
  }
}

RegKey FromHkey(HKEY key) {
  return static_cast<RegKey>(reinterpret_cast<uintptr_t>(key));
}

bool IsPredefined(RegKey key) {
  return key >= platform::kClassesRoot && key <= platform::kUsers;
}

// RegQueryValueExW into a buffer that grows until the value fits.
Result<RegValue> ReadValue(HKEY key, const std::wstring& name) {
  RegValue value;
  DWORD size = 256;
  for (int attempt = 0; attempt < 8; ++attempt) {
    value.data.resize(size);
    DWORD type = 0;
    const LSTATUS status =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, value.data.data(), &size);
    if (status == ERROR_SUCCESS) {
      value.type = type;
      value.data.resize(size);
      return value;
    }
    if (status != ERROR_MORE_DATA) return Result<RegValue>::Failure(static_cast<WinError>(status));
  }
  return Result<RegValue>::Failure(kErrorMoreData);
}

}  // namespace

Result<RegKey> Win32Registry::OpenKey(RegKey parent, TextView subKey, uint32_t access) {
  HKEY key = nullptr;
  const LSTATUS status = RegOpenKeyExW(ToHkey(parent), Wide(subKey).c_str(), 0, access, &key);
  if (status != ERROR_SUCCESS) return Result<RegKey>::Failure(static_cast<WinError>(status));
  return FromHkey(key);
}

Result<RegKey> Win32Registry::CreateKey(RegKey parent, TextView subKey, uint32_t access) {
  HKEY key = nullptr;
  const LSTATUS status = RegCreateKeyExW(ToHkey(parent), Wide(subKey).c_str(), 0, nullptr,
                                         REG_OPTION_NON_VOLATILE, access, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) return Result<RegKey>::Failure(static_cast<WinError>(status));
  return FromHkey(key);
}

void Win32Registry::CloseKey(RegKey key) {
  if (!IsPredefined(key)) RegCloseKey(ToHkey(key));
}

Result<RegValue> Win32Registry::QueryValue(RegKey key, TextView name) {
  return ReadValue(ToHkey(key), Wide(name));
}

WinError Win32Registry::SetValue(RegKey key, TextView name, const RegValue& value) {
  return static_cast<WinError>(RegSetValueExW(ToHkey(key), Wide(name).c_str(), 0, value.type,
                                              value.data.data(),
                                              static_cast<DWORD>(value.data.size())));
}

WinError Win32Registry::DeleteValue(RegKey key, TextView name) {
  return static_cast<WinError>(RegDeleteValueW(ToHkey(key), Wide(name).c_str()));
}

WinError Win32Registry::DeleteTree(RegKey parent, TextView subKey) {
  const std::wstring sub = Wide(subKey);
  return static_cast<WinError>(
      RegDeleteTreeW(ToHkey(parent), subKey.empty() ? nullptr : sub.c_str()));
}

Result<Text> Win32Registry::EnumKey(RegKey key, uint32_t index) {
  // Key names are at most 255 characters.
  wchar_t name[256];
  DWORD length = 256;
  const LSTATUS status =
      RegEnumKeyExW(ToHkey(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return Result<Text>::Failure(static_cast<WinError>(status));
  return FromWide(name, length);
}

Result<std::pair<Text, RegValue>> Win32Registry::EnumValue(RegKey key, uint32_t index) {
  using Entry = Result<std::pair<Text, RegValue>>;
  DWORD maxName = 0;
  DWORD maxData = 0;
  LSTATUS status = RegQueryInfoKeyW(ToHkey(key), nullptr, nullptr, nullptr, nullptr, nullptr,
                                    nullptr, nullptr, &maxName, &maxData, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return Entry::Failure(static_cast<WinError>(status));
  // Another writer may grow a value between the two calls: retry larger.
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::vector<wchar_t> name(maxName + 1);
    RegValue value;
    value.data.resize(maxData);
    DWORD nameLength = maxName + 1;
    DWORD dataSize = maxData;
    DWORD type = 0;
    status = RegEnumValueW(ToHkey(key), index, name.data(), &nameLength, nullptr, &type,
                           value.data.data(), &dataSize);
    if (status == ERROR_SUCCESS) {
      value.type = type;
      value.data.resize(dataSize);
      return std::make_pair(FromWide(name.data(), nameLength), std::move(value));
    }
    if (status != ERROR_MORE_DATA) return Entry::Failure(static_cast<WinError>(status));
    maxName = maxName * 2 + 256;
    maxData = maxData * 2 + 256;
  }
  return Entry::Failure(kErrorMoreData);
}

WinError Win32Registry::LoadHive(RegKey root, TextView subKey, TextView file) {
  return static_cast<WinError>(RegLoadKeyW(ToHkey(root), Wide(subKey).c_str(), Wide(file).c_str()));
}

WinError Win32Registry::UnloadHive(RegKey root, TextView subKey) {
  return static_cast<WinError>(RegUnLoadKeyW(ToHkey(root), Wide(subKey).c_str()));
}

WinError Win32Registry::SaveKey(RegKey key, TextView file) {
  return static_cast<WinError>(RegSaveKeyW(ToHkey(key), Wide(file).c_str(), nullptr));
}

WinError Win32Registry::SetKeyAccessList(RegKey key,
                                         std::span<const platform::AccessEntry> entries) {
  auto security = ProtectedSecurity::Make(entries);
  if (!security) return security.error();
  return static_cast<WinError>(
      RegSetKeySecurity(ToHkey(key), DACL_SECURITY_INFORMATION, (*security)->descriptor()));
}

Result<std::vector<platform::AccessEntry>> Win32Registry::GetKeyAccessList(RegKey key) {
  using Entries = Result<std::vector<platform::AccessEntry>>;
  DWORD size = 256;
  std::vector<uint8_t> buffer;
  LONG status = ERROR_INSUFFICIENT_BUFFER;
  for (int attempt = 0; attempt < 4 && status == ERROR_INSUFFICIENT_BUFFER; ++attempt) {
    buffer.assign(size, 0);
    status = RegGetKeySecurity(ToHkey(key), DACL_SECURITY_INFORMATION, buffer.data(), &size);
  }
  if (status != ERROR_SUCCESS) return Entries::Failure(static_cast<WinError>(status));
  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  ACL* acl = nullptr;
  if (!GetSecurityDescriptorDacl(buffer.data(), &present, &acl, &defaulted)) {
    return Entries::Failure(static_cast<WinError>(GetLastError()));
  }
  return ReadAcl(present ? acl : nullptr);
}

WinError Win32Registry::FlushKey(RegKey key) {
  return static_cast<WinError>(RegFlushKey(ToHkey(key)));
}

}  // namespace tarn::win32
