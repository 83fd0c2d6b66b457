// Registry services with the semantics of the system's Reg* functions. Keys are
// opaque handles; the predefined roots have their usual values. Use ScopedKey
// to close what you open.
#pragma once

#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/security.h"

namespace tarn::platform {

using RegKey = uint64_t;

inline constexpr RegKey kClassesRoot = 0x80000000;
inline constexpr RegKey kCurrentUser = 0x80000001;
inline constexpr RegKey kLocalMachine = 0x80000002;
inline constexpr RegKey kUsers = 0x80000003;

inline constexpr uint32_t kRegNone = 0;
inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr uint32_t kRegQword = 11;

inline constexpr uint32_t kKeyRead = 0x20019;
inline constexpr uint32_t kKeyWrite = 0x20006;
inline constexpr uint32_t kKeyAllAccess = 0xF003F;

struct RegValue {
  uint32_t type = kRegNone;
  std::vector<uint8_t> data;

  // The data as text: REG_SZ / REG_EXPAND_SZ / REG_MULTI_SZ bytes up to the
  // first terminator (an odd final byte is ignored).
  [[nodiscard]] Text AsText() const;
  // REG_DWORD data (little-endian); nullopt for other types or short data.
  [[nodiscard]] std::optional<uint32_t> AsDword() const;

  static RegValue FromText(TextView text, uint32_t type = kRegSz);
  static RegValue FromDword(uint32_t value);
};

class Registry {
 public:
  virtual ~Registry() = default;

  // RegOpenKeyExW. `subKey` may be empty (a new handle to `parent`).
  [[nodiscard]] virtual Result<RegKey> OpenKey(RegKey parent, TextView subKey, uint32_t access) = 0;
  // RegCreateKeyExW: opens or creates every missing key of the path.
  [[nodiscard]] virtual Result<RegKey> CreateKey(RegKey parent, TextView subKey,
                                                 uint32_t access) = 0;
  // RegCloseKey; closing a predefined root does nothing.
  virtual void CloseKey(RegKey key) = 0;

  // RegQueryValueExW. An empty name is the key's default value.
  [[nodiscard]] virtual Result<RegValue> QueryValue(RegKey key, TextView name) = 0;
  // RegSetValueExW.
  [[nodiscard]] virtual WinError SetValue(RegKey key, TextView name, const RegValue& value) = 0;
  // RegDeleteValueW.
  [[nodiscard]] virtual WinError DeleteValue(RegKey key, TextView name) = 0;
  // RegDeleteTreeW semantics: `subKey` and everything below it.
  [[nodiscard]] virtual WinError DeleteTree(RegKey parent, TextView subKey) = 0;
  // RegEnumKeyExW: the name of subkey `index`, kErrorNoMoreItems past the end.
  [[nodiscard]] virtual Result<Text> EnumKey(RegKey key, uint32_t index) = 0;
  // RegEnumValueW: name and value number `index`, kErrorNoMoreItems past the end.
  [[nodiscard]] virtual Result<std::pair<Text, RegValue>> EnumValue(RegKey key, uint32_t index) = 0;

  // RegLoadKeyW / RegUnLoadKeyW / RegSaveKeyW for user hives. `root` is
  // kUsers or kLocalMachine.
  [[nodiscard]] virtual WinError LoadHive(RegKey root, TextView subKey, TextView file) = 0;
  [[nodiscard]] virtual WinError UnloadHive(RegKey root, TextView subKey) = 0;
  [[nodiscard]] virtual WinError SaveKey(RegKey key, TextView file) = 0;

  // Owners and access lists.
  // RegSetKeySecurity(DACL only) with a protected list: `entries` replace the
  // key's access list. The key needs WRITE_DAC (kKeyAllAccess has it).
  [[nodiscard]] virtual WinError SetKeyAccessList(RegKey key,
                                                  std::span<const AccessEntry> entries) = 0;
  // RegGetKeySecurity(DACL): the access-allowed entries in order.
  [[nodiscard]] virtual Result<std::vector<AccessEntry>> GetKeyAccessList(RegKey key) = 0;
  // RegFlushKey.
  [[nodiscard]] virtual WinError FlushKey(RegKey key) = 0;
};

// Closes the key when it leaves scope.
class ScopedKey {
 public:
  ScopedKey() = default;
  ScopedKey(Registry& registry, RegKey key) : registry_(&registry), key_(key) {}
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  ScopedKey(ScopedKey&& other) noexcept
      : registry_(std::exchange(other.registry_, nullptr)), key_(other.key_) {}
  ScopedKey& operator=(ScopedKey&& other) noexcept {
    if (this != &other) {
      Reset();
      registry_ = std::exchange(other.registry_, nullptr);
      key_ = other.key_;
    }
    return *this;
  }
  ~ScopedKey() { Reset(); }

  // Opens `subKey`; an invalid ScopedKey with the error on failure.
  static ScopedKey Open(Registry& registry, RegKey parent, TextView subKey, uint32_t access,
                        WinError* error = nullptr);
  static ScopedKey Create(Registry& registry, RegKey parent, TextView subKey, uint32_t access,
                          WinError* error = nullptr);

  [[nodiscard]] bool valid() const { return registry_ != nullptr; }
  explicit operator bool() const { return valid(); }
  [[nodiscard]] RegKey get() const { return key_; }
  void Reset() {
    if (registry_) registry_->CloseKey(key_);
    registry_ = nullptr;
  }

 private:
  Registry* registry_ = nullptr;
  RegKey key_ = 0;
};

}  // namespace tarn::platform
