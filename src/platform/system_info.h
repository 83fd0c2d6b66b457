// Facts about the system and the running program: names, locales, time,
// message texts, version, shutdown, error mode.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/result.h"
#include "base/text.h"

namespace tarn::platform {

inline constexpr uint32_t kLocaleEnglishUs = 1033;
inline constexpr uint32_t kLocaleSIso639LangName = 0x59;
inline constexpr uint32_t kLocaleSIso3166CtryName = 0x5A;
inline constexpr uint32_t kLocaleSEnglishLanguage = 0x1001;

struct SystemTime {
  uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

struct OsVersion {
  uint32_t major = 0, minor = 0, build = 0;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  // GetModuleFileNameW(null): full path of the program file.
  [[nodiscard]] virtual Text ModuleFileName() = 0;
  // GetSystemDirectoryW: the system folder ("C:\Windows\System32"), from
  // the system itself, not from the environment.
  [[nodiscard]] virtual Text SystemFolder() = 0;
  // GetSystemWindowsDirectoryW: the Windows folder ("C:\Windows").
  [[nodiscard]] virtual Text WindowsFolder() = 0;
  // GetUserNameW: the account the program runs as.
  [[nodiscard]] virtual Result<Text> UserName() = 0;
  // GetComputerNameW.
  [[nodiscard]] virtual Result<Text> ComputerName() = 0;

  [[nodiscard]] virtual uint32_t ThreadLocale() = 0;
  virtual void SetThreadLocale(uint32_t lcid) = 0;
  // EnumSystemLocalesW(LCID_SUPPORTED), in the system's order.
  [[nodiscard]] virtual std::vector<uint32_t> SupportedLocales() = 0;
  // GetLocaleInfoW(lcid, type, buffer[capacity]); empty when unknown.
  [[nodiscard]] virtual Text LocaleInfo(uint32_t lcid, uint32_t type, uint32_t capacity) = 0;
  // The C runtime's set-locale call for all categories, with an English
  // language name; the result is not looked at.
  virtual void SetRuntimeLocale(TextView englishLanguageName) = 0;

  // GetACP: the code page the system reads and writes unmarked (ANSI) text
  // in, profile files among it. Fixed for the run on a real system.
  [[nodiscard]] virtual uint32_t AnsiCodePage() = 0;

  // GetLocalTime.
  [[nodiscard]] virtual SystemTime LocalTime() = 0;
  // GetSystemTimeAsFileTime as milliseconds since 1970-01-01 00:00 UTC.
  [[nodiscard]] virtual int64_t UnixTimeMs() = 0;
  // Sleep: the calling thread waits `milliseconds` before it goes on. The
  // simulated machine advances its clock instead of waiting.
  virtual void Sleep(uint32_t milliseconds) = 0;
  // FileTimeToLocalFileTime + FileTimeToSystemTime: a file time (UTC) as
  // local calendar fields; nullopt when it cannot be converted. The default
  // (in file_time.cpp) is for a machine whose local time is UTC; backends
  // with a time zone override it.
  [[nodiscard]] virtual std::optional<SystemTime> FileTimeToLocalTime(uint64_t fileTime);
  // GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE) and
  // GetTimeFormatW(LOCALE_USER_DEFAULT, 0), each up to `capacity` - 1 units.
  [[nodiscard]] virtual Text FormatShortDate(const SystemTime& time, uint32_t capacity) = 0;
  [[nodiscard]] virtual Text FormatTime(const SystemTime& time, uint32_t capacity) = 0;
  // GetDateFormatW(DATE_LONGDATE), ", ", GetTimeFormatW, both in the thread's
  // locale: a moment as a reader of that language writes it in full. Up to
  // `capacity` - 1 units.
  [[nodiscard]] virtual Text FormatLongDateTime(const SystemTime& time, uint32_t capacity) = 0;

  // FormatMessageW(FROM_SYSTEM) text of a system error code; empty if none.
  [[nodiscard]] virtual Text SystemMessage(uint32_t code) = 0;
  // The description of an NT status code (FormatMessageW from ntdll); empty if none.
  [[nodiscard]] virtual Text NtStatusMessage(uint32_t status) = 0;

  [[nodiscard]] virtual OsVersion Version() = 0;

  // GetSystemFirmwareTable(provider, id): the table's bytes as the system
  // hands them out (for 'RSMB', the raw SMBIOS data with its header); the
  // call's error when the provider or the table is missing.
  [[nodiscard]] virtual Result<std::vector<uint8_t>> FirmwareTable(uint32_t provider,
                                                                   uint32_t id) = 0;
  // GetAdaptersAddresses: the physical address of the first adapter, in the
  // system's order, that is up, is neither loopback nor tunnel and has a
  // six-byte address; nullopt when there is none.
  [[nodiscard]] virtual std::optional<std::array<uint8_t, 6>> FirstAdapterAddress() = 0;

  // SetErrorMode adding SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX to
  // the present mode: a path on an empty removable drive then fails quietly
  // instead of asking for a disk, which would stall an unattended run. The
  // commands the program starts inherit the mode.
  virtual void SetQuietErrorMode() = 0;

  // InitiateSystemShutdownExW on the local machine.
  [[nodiscard]] virtual WinError InitiateShutdown(TextView message, uint32_t timeoutSeconds,
                                                  bool forceAppsClosed, bool reboot,
                                                  uint32_t reason) = 0;
};

}  // namespace tarn::platform
