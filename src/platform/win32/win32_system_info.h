// Facts about the system and the running program, from the real API.
#pragma once

#include "platform/system_info.h"

namespace tarn::win32 {

class Win32SystemInfo : public platform::SystemInfo {
 public:
  [[nodiscard]] Text ModuleFileName() override;
  [[nodiscard]] Text SystemFolder() override;
  [[nodiscard]] Text WindowsFolder() override;
  [[nodiscard]] Result<Text> UserName() override;
  [[nodiscard]] Result<Text> ComputerName() override;
  [[nodiscard]] uint32_t ThreadLocale() override;
  void SetThreadLocale(uint32_t lcid) override;
  [[nodiscard]] std::vector<uint32_t> SupportedLocales() override;
  [[nodiscard]] Text LocaleInfo(uint32_t lcid, uint32_t type, uint32_t capacity) override;
  void SetRuntimeLocale(TextView englishLanguageName) override;
  [[nodiscard]] uint32_t AnsiCodePage() override;
  [[nodiscard]] platform::SystemTime LocalTime() override;
  [[nodiscard]] int64_t UnixTimeMs() override;
  void Sleep(uint32_t milliseconds) override;
  [[nodiscard]] std::optional<platform::SystemTime> FileTimeToLocalTime(uint64_t fileTime) override;
  [[nodiscard]] Text FormatShortDate(const platform::SystemTime& time, uint32_t capacity) override;
  [[nodiscard]] Text FormatTime(const platform::SystemTime& time, uint32_t capacity) override;
  [[nodiscard]] Text FormatLongDateTime(const platform::SystemTime& time,
                                        uint32_t capacity) override;
  [[nodiscard]] Text SystemMessage(uint32_t code) override;
  [[nodiscard]] Text NtStatusMessage(uint32_t status) override;
  [[nodiscard]] platform::OsVersion Version() override;
  // In win32_machine_facts.cpp.
  [[nodiscard]] Result<std::vector<uint8_t>> FirmwareTable(uint32_t provider, uint32_t id) override;
  [[nodiscard]] std::optional<std::array<uint8_t, 6>> FirstAdapterAddress() override;
  void SetQuietErrorMode() override;
  [[nodiscard]] WinError InitiateShutdown(TextView message, uint32_t timeoutSeconds,
                                          bool forceAppsClosed, bool reboot,
                                          uint32_t reason) override;
};

}  // namespace tarn::win32
