#include "platform/win32/win32_profile_files.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "base/wipe.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace tarn::win32 {
namespace {

const wchar_t* OptionalWide(const std::optional<std::wstring>& text) {
  return text ? text->c_str() : nullptr;
}

std::optional<std::wstring> WideOrNone(std::optional<TextView> text) {
  if (!text) return std::nullopt;
  return Wide(*text);
}

// The list in a buffer: its items each with their zero, up to the zero that
// ends the list (the first zero right after another zero, or at the start).
Text ListData(const std::vector<wchar_t>& buffer) {
  size_t end = 0;
  while (end < buffer.size() && !(buffer[end] == 0 && (end == 0 || buffer[end - 1] == 0))) ++end;
  return Text(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(end));
}

WinError LastErrorOr(WinError fallback) {
  const DWORD error = GetLastError();
  return error != 0 ? error : fallback;
}

}  // namespace

platform::ProfileBuffer Win32ProfileFiles::GetString(TextView file, TextView section, TextView key,
                                                     TextView defaultValue, uint32_t capacity) {
  if (capacity == 0) return {};
  std::vector<wchar_t> buffer(capacity, 0);
  const DWORD copied =
      GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(defaultValue).c_str(),
                               buffer.data(), capacity, Wide(file).c_str());
  const size_t length = std::min<size_t>(copied, capacity - 1);
  platform::ProfileBuffer answer{
      Text(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(length)), copied};
  // Password keys are read through here: no copy is left behind.
  SecureZero(buffer.data(), buffer.size() * sizeof(wchar_t));
  return answer;
}

int32_t Win32ProfileFiles::GetInt(TextView file, TextView section, TextView key,
                                  int32_t defaultValue) {
  return static_cast<int32_t>(GetPrivateProfileIntW(Wide(section).c_str(), Wide(key).c_str(),
                                                    defaultValue, Wide(file).c_str()));
}

platform::ProfileBuffer Win32ProfileFiles::GetSection(TextView file, TextView section,
                                                      uint32_t capacity) {
  if (capacity == 0) return {};
  std::vector<wchar_t> buffer(capacity, 0);
  const DWORD returned =
      GetPrivateProfileSectionW(Wide(section).c_str(), buffer.data(), capacity, Wide(file).c_str());
  platform::ProfileBuffer answer{ListData(buffer), returned};
  SecureZero(buffer.data(), buffer.size() * sizeof(wchar_t));
  return answer;
}

platform::ProfileBuffer Win32ProfileFiles::GetSectionNames(TextView file, uint32_t capacity) {
  if (capacity == 0) return {};
  std::vector<wchar_t> buffer(capacity, 0);
  const DWORD returned =
      GetPrivateProfileSectionNamesW(buffer.data(), capacity, Wide(file).c_str());
  return {ListData(buffer), returned};
}

std::optional<std::vector<uint8_t>> Win32ProfileFiles::GetStruct(TextView file, TextView section,
                                                                 TextView key, uint32_t size) {
  // One spare byte keeps the pointer valid for a struct of no bytes.
  std::vector<uint8_t> bytes(static_cast<size_t>(size) + 1, 0);
  if (!GetPrivateProfileStructW(Wide(section).c_str(), Wide(key).c_str(), bytes.data(), size,
                                Wide(file).c_str())) {
    return std::nullopt;
  }
  bytes.resize(size);
  return bytes;
}

WinError Win32ProfileFiles::WriteString(TextView file, TextView section,
                                        std::optional<TextView> key,
                                        std::optional<TextView> value) {
  const auto wideKey = WideOrNone(key);
  // "/DecryptIni" writes passwords back as text.
  std::optional<WipedWide> wideValue =
      value ? std::optional<WipedWide>(std::in_place, *value) : std::nullopt;
  SetLastError(0);
  if (WritePrivateProfileStringW(Wide(section).c_str(), OptionalWide(wideKey),
                                 wideValue ? wideValue->get().c_str() : nullptr,
                                 Wide(file).c_str())) {
    return kErrorSuccess;
  }
  return LastErrorOr(kErrorAccessDenied);
}

WinError Win32ProfileFiles::WriteStruct(TextView file, TextView section, TextView key,
                                        const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> copy;
  copy.reserve(bytes.size() + 1);
  copy.assign(bytes.begin(), bytes.end());
  copy.push_back(0);
  SetLastError(0);
  const BOOL written =
      WritePrivateProfileStructW(Wide(section).c_str(), Wide(key).c_str(), copy.data(),
                                 static_cast<UINT>(bytes.size()), Wide(file).c_str());
  const WinError error = written ? kErrorSuccess : LastErrorOr(kErrorAccessDenied);
  SecureZero(copy.data(), copy.size());
  return error;
}

}  // namespace tarn::win32
