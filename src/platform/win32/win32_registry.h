// The registry through the Reg* functions. RegKey values are the HKEYs
// themselves; the predefined roots are translated to the system's.
#pragma once

#include "platform/registry.h"

namespace tarn::win32 {

class Win32Registry : public platform::Registry {
 public:
  [[nodiscard]] Result<platform::RegKey> OpenKey(platform::RegKey parent, TextView subKey,
                                                 uint32_t access) override;
  [[nodiscard]] Result<platform::RegKey> CreateKey(platform::RegKey parent, TextView subKey,
                                                   uint32_t access) override;
  void CloseKey(platform::RegKey key) override;
  [[nodiscard]] Result<platform::RegValue> QueryValue(platform::RegKey key, TextView name) override;
  [[nodiscard]] WinError SetValue(platform::RegKey key, TextView name,
                                  const platform::RegValue& value) override;
  [[nodiscard]] WinError DeleteValue(platform::RegKey key, TextView name) override;
  [[nodiscard]] WinError DeleteTree(platform::RegKey parent, TextView subKey) override;
  [[nodiscard]] Result<Text> EnumKey(platform::RegKey key, uint32_t index) override;
  [[nodiscard]] Result<std::pair<Text, platform::RegValue>> EnumValue(platform::RegKey key,
                                                                      uint32_t index) override;
  [[nodiscard]] WinError LoadHive(platform::RegKey root, TextView subKey, TextView file) override;
  [[nodiscard]] WinError UnloadHive(platform::RegKey root, TextView subKey) override;
  [[nodiscard]] WinError SaveKey(platform::RegKey key, TextView file) override;

  // Owners and access lists.
  [[nodiscard]] WinError SetKeyAccessList(platform::RegKey key,
                                          std::span<const platform::AccessEntry> entries) override;
  [[nodiscard]] Result<std::vector<platform::AccessEntry>> GetKeyAccessList(
      platform::RegKey key) override;
  [[nodiscard]] WinError FlushKey(platform::RegKey key) override;
};

}  // namespace tarn::win32
