// A simulated registry: a tree of keys whose names and value names compare
// ignoring case, typed values, the predefined roots, handles with access
// rights, and hives kept in files of the simulated file system.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/registry.h"
#include "platform/sim/fault_injection.h"

namespace tarn::sim {

class SimFileSystem;

inline constexpr WinError kErrorKeyDeleted = 1018;
inline constexpr WinError kErrorPrivilegeNotHeld = 1314;
inline constexpr WinError kErrorBadHiveFile = 1009;  // ERROR_BADDB

class SimRegistry : public platform::Registry {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // `files` holds the hive files; it must outlive the registry.
  explicit SimRegistry(SimFileSystem& files);
  ~SimRegistry() override;

  // ---- Set-up for tests ----
  // The name under HKEY_USERS that HKEY_CURRENT_USER stands for (the current
  // user's SID). Created when missing.
  void SetCurrentUserKey(TextView sidName);
  // Loading, unloading and saving hives need the restore and backup
  // privileges enabled; the check asks this function (by privilege name).
  // Without one set, every privilege counts as enabled.
  void SetPrivilegeCheck(std::function<bool(TextView)> isEnabled);
  // The check set last (empty: none); the system's own calls (a logon
  // loading its hive) go without it and put it back.
  [[nodiscard]] const std::function<bool(TextView)>& privilegeCheck() const {
    return privilegeCheck_;
  }
  // Creates every missing key of `path` under `root` (setup, no access checks
  // beyond the root rule); false when the path cannot be created.
  bool MakeKey(platform::RegKey root, TextView path);
  // Convenience for setup and checks: the value at `path` under `root`.
  bool Put(platform::RegKey root, TextView path, TextView name, const platform::RegValue& value);
  [[nodiscard]] std::optional<platform::RegValue> Get(platform::RegKey root, TextView path,
                                                      TextView name);
  [[nodiscard]] bool KeyExists(platform::RegKey root, TextView path);
  // Handles currently open (predefined roots excluded), to find leaks.
  [[nodiscard]] size_t OpenHandleCount() const;

  // ---- platform::Registry ----
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

  // ---- Owners and access lists ----
  // Lists are kept with the key and in hive files but not enforced. A key
  // without its own list answers an empty one. Flushing a loaded hive
  // writes it to its file.
  [[nodiscard]] WinError SetKeyAccessList(platform::RegKey key,
                                          std::span<const platform::AccessEntry> entries) override;
  [[nodiscard]] Result<std::vector<platform::AccessEntry>> GetKeyAccessList(
      platform::RegKey key) override;
  [[nodiscard]] WinError FlushKey(platform::RegKey key) override;

  struct Key;

 private:
  struct Handle {
    std::shared_ptr<Key> key;
    uint32_t access = 0;
  };

  // The key behind a handle or predefined root; nullptr when the handle is
  // unknown. `access` receives the rights the handle was opened with.
  std::shared_ptr<Key> Resolve(platform::RegKey handle, uint32_t* access);
  // The key at `subKey` (backslash-separated names) / `names` below
  // `parent`, creating missing keys when `create` is set.
  Result<std::shared_ptr<Key>> Walk(platform::RegKey parent, TextView subKey, bool create);
  Result<std::shared_ptr<Key>> Walk(platform::RegKey parent, std::span<const Text> names,
                                    bool create);
  platform::RegKey NewHandle(std::shared_ptr<Key> key, uint32_t access);
  bool Privileged(TextView name) const;
  bool HandlesInside(const Key& key) const;

  SimFileSystem& files_;
  std::shared_ptr<Key> machine_;
  std::shared_ptr<Key> users_;
  std::shared_ptr<Key> currentUser_;
  std::map<platform::RegKey, Handle> handles_;
  platform::RegKey nextHandle_ = 0x1000;
  std::function<bool(TextView)> privilegeCheck_;
  FaultGate faults_;
};

// The bytes of a hive file holding `key`'s values and subkeys.
[[nodiscard]] std::vector<uint8_t> SerializeHive(const SimRegistry::Key& key);
// Reads a hive file into a new key named `name`; nullptr when the bytes are
// not a well-formed hive.
[[nodiscard]] std::shared_ptr<SimRegistry::Key> ParseHive(std::span<const uint8_t> bytes,
                                                          TextView name);

}  // namespace tarn::sim
