// Profile (INI) files through the system's own GetPrivateProfile* and
// WritePrivateProfile* functions, each given a buffer of exactly the
// capacity the caller names.
#pragma once

#include "platform/profile_files.h"

namespace tarn::win32 {

class Win32ProfileFiles : public platform::ProfileFiles {
 public:
  [[nodiscard]] platform::ProfileBuffer GetString(TextView file, TextView section, TextView key,
                                                  TextView defaultValue,
                                                  uint32_t capacity) override;
  [[nodiscard]] int32_t GetInt(TextView file, TextView section, TextView key,
                               int32_t defaultValue) override;
  [[nodiscard]] platform::ProfileBuffer GetSection(TextView file, TextView section,
                                                   uint32_t capacity) override;
  [[nodiscard]] platform::ProfileBuffer GetSectionNames(TextView file, uint32_t capacity) override;
  [[nodiscard]] std::optional<std::vector<uint8_t>> GetStruct(TextView file, TextView section,
                                                              TextView key, uint32_t size) override;
  // The error of GetLastError when the function fails.
  [[nodiscard]] WinError WriteString(TextView file, TextView section, std::optional<TextView> key,
                                     std::optional<TextView> value) override;
  [[nodiscard]] WinError WriteStruct(TextView file, TextView section, TextView key,
                                     const std::vector<uint8_t>& bytes) override;
};

}  // namespace tarn::win32
