// Simulated facts about the machine and the running program, settable by
// tests.
#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/registry.h"
#include "platform/sim/fault_injection.h"
#include "platform/system_info.h"

namespace tarn::sim {

// One locale the machine supports, with the names GetLocaleInfoW gives.
struct SimLocale {
  uint32_t lcid = 0;
  Text iso639;           // LOCALE_SISO639LANGNAME, e.g. "en"
  Text iso3166;          // LOCALE_SISO3166CTRYNAME, e.g. "US"
  Text englishLanguage;  // LOCALE_SENGLISHLANGUAGE, e.g. "English"
};

// A shutdown request as InitiateShutdown received it.
struct ShutdownRequest {
  Text message;
  uint32_t timeoutSeconds = 0;
  bool forceAppsClosed = false;
  bool reboot = false;
  uint32_t reason = 0;
};

class SimSystemInfo : public platform::SystemInfo {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // An English (United States) machine with a handful of other locales,
  // user "Administrator" on computer "TARN-PC", program "C:\tarn\tarn.exe".
  // Without a registry its ANSI code page is Windows-1252.
  SimSystemInfo();
  // The same machine, whose ANSI code page is the one `registry` names,
  // where Windows keeps it. `registry` must outlive this object.
  explicit SimSystemInfo(platform::Registry& registry);

  // ---- Set-up for tests ----
  void SetModuleFileName(TextView path) { module_ = Text(path); }
  // nullopt makes the query fail with `error`.
  void SetUserName(std::optional<TextView> name, WinError error = 5);
  void SetComputerName(std::optional<TextView> name, WinError error = 5);
  // Replaces the supported locales, in the order EnumSystemLocalesW gives them.
  void SetLocales(std::vector<SimLocale> locales) { locales_ = std::move(locales); }
  void AddLocale(SimLocale locale) { locales_.push_back(std::move(locale)); }
  // The user's default locale, which every thread starts with.
  void SetUserDefaultLocale(uint32_t lcid);
  void SetLocalTime(const platform::SystemTime& time) { time_ = time; }
  // The UTC clock; it stands still until set or advanced.
  void SetUnixTimeMs(int64_t ms) { unixMs_ = ms; }
  void AdvanceUnixTimeMs(int64_t ms) { unixMs_ += ms; }
  void SetVersion(platform::OsVersion version) { version_ = version; }
  // The raw SMBIOS table FirmwareTable('RSMB', 0) answers; a machine starts
  // without one (the call fails), so only a test that gives one sees it.
  void SetFirmwareTable(std::vector<uint8_t> table) { firmwareTable_ = std::move(table); }
  // The address FirstAdapterAddress answers; none at first.
  void SetAdapterAddress(std::optional<std::array<uint8_t, 6>> address) {
    adapterAddress_ = address;
  }
  // Overrides or adds the text of a system error code.
  void SetSystemMessage(uint32_t code, TextView text) { messages_[code] = Text(text); }

  // ---- What the program did ----
  [[nodiscard]] const std::vector<ShutdownRequest>& shutdownRequests() const { return shutdowns_; }
  [[nodiscard]] bool quietErrorMode() const { return quietErrorMode_; }
  // How long the program slept in all, in milliseconds of the clock.
  [[nodiscard]] uint64_t sleptMs() const { return sleptMs_; }

  // ---- platform::SystemInfo ----
  [[nodiscard]] Text ModuleFileName() override { return module_; }
  [[nodiscard]] Text SystemFolder() override { return u"C:\\Windows\\System32"; }
  [[nodiscard]] Text WindowsFolder() override { return u"C:\\Windows"; }
  [[nodiscard]] Result<Text> UserName() override;
  [[nodiscard]] Result<Text> ComputerName() override;
  // Per thread, as on Windows: a thread that never set its locale has the
  // user's default locale, whatever other threads set.
  [[nodiscard]] uint32_t ThreadLocale() override;
  void SetThreadLocale(uint32_t lcid) override;
  [[nodiscard]] std::vector<uint32_t> SupportedLocales() override;
  [[nodiscard]] Text LocaleInfo(uint32_t lcid, uint32_t type, uint32_t capacity) override;
  // The simulation has no C runtime whose locale could change.
  void SetRuntimeLocale(TextView /*englishLanguageName*/) override {}
  // The decimal text of HKLM\SYSTEM\CurrentControlSet\Control\Nls\CodePage,
  // value ACP, read at each call so that a registry set up after start-up
  // counts; Windows-1252 when it is missing or not a number.
  [[nodiscard]] uint32_t AnsiCodePage() override;
  [[nodiscard]] platform::SystemTime LocalTime() override { return time_; }
  [[nodiscard]] int64_t UnixTimeMs() override { return unixMs_; }
  void Sleep(uint32_t milliseconds) override {
    unixMs_ += milliseconds;
    sleptMs_ += milliseconds;
  }
  [[nodiscard]] Text FormatShortDate(const platform::SystemTime& time, uint32_t capacity) override;
  [[nodiscard]] Text FormatTime(const platform::SystemTime& time, uint32_t capacity) override;
  [[nodiscard]] Text FormatLongDateTime(const platform::SystemTime& time,
                                        uint32_t capacity) override;
  [[nodiscard]] Text SystemMessage(uint32_t code) override;
  [[nodiscard]] Text NtStatusMessage(uint32_t status) override;
  [[nodiscard]] platform::OsVersion Version() override { return version_; }
  [[nodiscard]] Result<std::vector<uint8_t>> FirmwareTable(uint32_t provider, uint32_t id) override;
  [[nodiscard]] std::optional<std::array<uint8_t, 6>> FirstAdapterAddress() override {
    return adapterAddress_;
  }
  void SetQuietErrorMode() override { quietErrorMode_ = true; }
  [[nodiscard]] WinError InitiateShutdown(TextView message, uint32_t timeoutSeconds,
                                          bool forceAppsClosed, bool reboot,
                                          uint32_t reason) override;

 private:
  platform::Registry* registry_ = nullptr;
  Text module_ = u"C:\\tarn\\tarn.exe";
  Result<Text> userName_ = Text(u"Administrator");
  Result<Text> computerName_ = Text(u"TARN-PC");
  std::mutex localeMutex_;
  uint32_t userDefaultLocale_ = platform::kLocaleEnglishUs;
  // Keyed by a serial number never reused, unlike thread ids.
  std::map<uint64_t, uint32_t> threadLocales_;
  std::vector<SimLocale> locales_;
  platform::SystemTime time_{2026, 12, 1, 7, 13, 42, 5, 0};
  // 2026-12-01 07:13:42.005 UTC, the local time above.
  std::atomic<int64_t> unixMs_{1796109222005};
  platform::OsVersion version_{10, 0, 19045};
  std::optional<std::vector<uint8_t>> firmwareTable_;
  std::optional<std::array<uint8_t, 6>> adapterAddress_;
  std::map<uint32_t, Text> messages_;
  std::vector<ShutdownRequest> shutdowns_;
  WinError shutdownResult_ = 0;
  bool quietErrorMode_ = false;
  std::atomic<uint64_t> sleptMs_{0};
  FaultGate faults_;
};

}  // namespace tarn::sim
