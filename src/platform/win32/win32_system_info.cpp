#include "platform/win32/win32_system_info.h"

#include <clocale>
#include <cwchar>
#include <iterator>
#include <string>

#include "platform/win32/win32_system_function.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace tarn::win32 {
namespace {

SYSTEMTIME ToSystemTime(const platform::SystemTime& t) {
  SYSTEMTIME st{};
  st.wYear = t.year;
  st.wMonth = t.month;
  st.wDayOfWeek = t.dayOfWeek;
  st.wDay = t.day;
  st.wHour = t.hour;
  st.wMinute = t.minute;
  st.wSecond = t.second;
  st.wMilliseconds = t.milliseconds;
  return st;
}

platform::SystemTime FromSystemTime(const SYSTEMTIME& st) {
  return {st.wYear, st.wMonth,  st.wDayOfWeek, st.wDay,
          st.wHour, st.wMinute, st.wSecond,    st.wMilliseconds};
}

Text FormatFrom(DWORD flags, const void* source, uint32_t code) {
  wchar_t buffer[4096];
  const DWORD length = FormatMessageW(flags | FORMAT_MESSAGE_IGNORE_INSERTS, source, code, 0,
                                      buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  return FromWide(buffer, length);
}

// EnumSystemLocalesW hands each locale to a plain callback; it collects
// into the vector of the enumeration running on this thread.
thread_local std::vector<uint32_t>* collectedLocales = nullptr;

BOOL CALLBACK CollectLocale(LPWSTR text) noexcept {
  try {
    if (collectedLocales != nullptr && text != nullptr) {
      collectedLocales->push_back(static_cast<uint32_t>(std::wcstoul(text, nullptr, 16)));
    }
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}

}  // namespace

Text Win32SystemInfo::ModuleFileName() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (int attempt = 0; attempt < 6; ++attempt) {
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return Text();
    if (length < buffer.size()) return FromWide(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
  return Text();
}

Text Win32SystemInfo::SystemFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = GetSystemDirectoryW(buffer, MAX_PATH);
  return length != 0 && length < MAX_PATH ? FromWide(buffer, length) : Text();
}

Text Win32SystemInfo::WindowsFolder() {
  wchar_t buffer[MAX_PATH] = {};
  const UINT length = GetSystemWindowsDirectoryW(buffer, MAX_PATH);
  return length != 0 && length < MAX_PATH ? FromWide(buffer, length) : Text();
}

Result<Text> Win32SystemInfo::UserName() {
  wchar_t buffer[257];  // UNLEN + 1
  DWORD length = static_cast<DWORD>(std::size(buffer));
  if (!GetUserNameW(buffer, &length)) return Result<Text>::Failure(GetLastError());
  return FromWide(buffer);
}

Result<Text> Win32SystemInfo::ComputerName() {
  wchar_t buffer[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD length = static_cast<DWORD>(std::size(buffer));
  if (!GetComputerNameW(buffer, &length)) return Result<Text>::Failure(GetLastError());
  return FromWide(buffer, length);
}

uint32_t Win32SystemInfo::ThreadLocale() {
  return GetThreadLocale();
}

void Win32SystemInfo::SetThreadLocale(uint32_t lcid) {
  ::SetThreadLocale(lcid);
}

std::vector<uint32_t> Win32SystemInfo::SupportedLocales() {
  std::vector<uint32_t> locales;
  collectedLocales = &locales;
  EnumSystemLocalesW(CollectLocale, LCID_SUPPORTED);
  collectedLocales = nullptr;
  return locales;
}

Text Win32SystemInfo::LocaleInfo(uint32_t lcid, uint32_t type, uint32_t capacity) {
  if (capacity == 0) return Text();
  std::wstring buffer(capacity, L'\0');
  const int length = GetLocaleInfoW(lcid, type, buffer.data(), static_cast<int>(capacity));
  if (length <= 0) return Text();
  return FromWide(buffer.data(), static_cast<size_t>(length - 1));
}

void Win32SystemInfo::SetRuntimeLocale(TextView englishLanguageName) {
  _wsetlocale(LC_ALL, Wide(englishLanguageName).c_str());
}

uint32_t Win32SystemInfo::AnsiCodePage() {
  return GetACP();
}

platform::SystemTime Win32SystemInfo::LocalTime() {
  SYSTEMTIME st{};
  GetLocalTime(&st);
  return FromSystemTime(st);
}

void Win32SystemInfo::Sleep(uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

int64_t Win32SystemInfo::UnixTimeMs() {
  // File times count 100 ns from 1601; 11644473600 s lie between 1601 and 1970.
  constexpr int64_t kEpochDifferenceMs = 11644473600000LL;
  FILETIME now{};
  GetSystemTimeAsFileTime(&now);
  const uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return static_cast<int64_t>(ticks / 10000) - kEpochDifferenceMs;
}

std::optional<platform::SystemTime> Win32SystemInfo::FileTimeToLocalTime(uint64_t fileTime) {
  FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
  FILETIME local{};
  SYSTEMTIME st{};
  if (!FileTimeToLocalFileTime(&utc, &local) || !FileTimeToSystemTime(&local, &st)) {
    return std::nullopt;
  }
  return FromSystemTime(st);
}

Text Win32SystemInfo::FormatShortDate(const platform::SystemTime& time, uint32_t capacity) {
  const SYSTEMTIME st = ToSystemTime(time);
  wchar_t buffer[256];
  const int length = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buffer,
                                    static_cast<int>(std::size(buffer)));
  if (length <= 0) return Text();
  return CutToBuffer(FromWide(buffer, static_cast<size_t>(length - 1)), capacity);
}

Text Win32SystemInfo::FormatTime(const platform::SystemTime& time, uint32_t capacity) {
  const SYSTEMTIME st = ToSystemTime(time);
  wchar_t buffer[256];
  const int length = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buffer,
                                    static_cast<int>(std::size(buffer)));
  if (length <= 0) return Text();
  return CutToBuffer(FromWide(buffer, static_cast<size_t>(length - 1)), capacity);
}

Text Win32SystemInfo::FormatLongDateTime(const platform::SystemTime& time, uint32_t capacity) {
  const SYSTEMTIME st = ToSystemTime(time);
  const LCID locale = GetThreadLocale();
  wchar_t date[256];
  wchar_t clock[256];
  const int dateLength =
      GetDateFormatW(locale, DATE_LONGDATE, &st, nullptr, date, static_cast<int>(std::size(date)));
  const int clockLength =
      GetTimeFormatW(locale, 0, &st, nullptr, clock, static_cast<int>(std::size(clock)));
  if (dateLength <= 0 || clockLength <= 0) return Text();
  const Text text = FromWide(date, static_cast<size_t>(dateLength - 1)) + u", " +
                    FromWide(clock, static_cast<size_t>(clockLength - 1));
  return CutToBuffer(text, capacity);
}

Text Win32SystemInfo::SystemMessage(uint32_t code) {
  return FormatFrom(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code);
}

Text Win32SystemInfo::NtStatusMessage(uint32_t status) {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  if (ntdll == nullptr) return Text();
  return FormatFrom(FORMAT_MESSAGE_FROM_HMODULE, ntdll, status);
}

platform::OsVersion Win32SystemInfo::Version() {
  // RtlGetVersion tells the truth where GetVersionExW is shimmed.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  const auto getVersion = SystemFunction<RtlGetVersionFn>(L"ntdll.dll", "RtlGetVersion");
  if (getVersion == nullptr || getVersion(&info) != 0) return {};
  return {info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber};
}

void Win32SystemInfo::SetQuietErrorMode() {
  // Bits the program was started with (e.g. no crash boxes) stay.
  SetErrorMode(GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
}

WinError Win32SystemInfo::InitiateShutdown(TextView message, uint32_t timeoutSeconds,
                                           bool forceAppsClosed, bool reboot, uint32_t reason) {
  std::wstring text = Wide(message);
  if (!InitiateSystemShutdownExW(nullptr, text.data(), timeoutSeconds, forceAppsClosed, reboot,
                                 reason)) {
    return GetLastError();
  }
  return kErrorSuccess;
}

}  // namespace tarn::win32
