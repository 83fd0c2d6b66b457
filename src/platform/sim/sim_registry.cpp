#include "platform/sim/sim_registry.h"

#include <set>

#include "platform/sim/sim_file_system.h"
#include "platform/sim/sim_registry_key.h"

namespace tarn::sim {

using platform::RegKey;
using platform::RegValue;

namespace {

constexpr uint32_t kKeyQueryValue = 0x1;
constexpr uint32_t kKeySetValue = 0x2;
constexpr uint32_t kKeyCreateSubKey = 0x4;
constexpr uint32_t kKeyEnumerateSubKeys = 0x8;
constexpr uint32_t kGenericRead = 0x80000000;
constexpr uint32_t kGenericWrite = 0x40000000;
constexpr uint32_t kGenericAll = 0x10000000;
constexpr uint32_t kMaximumAllowed = 0x02000000;

constexpr TextView kBackupPrivilege = u"SeBackupPrivilege";
constexpr TextView kRestorePrivilege = u"SeRestorePrivilege";
constexpr TextView kDefaultUserSid = u"S-1-5-21-3623811015-3361044348-30300820-500";

// The key rights a requested access mask grants, generic rights mapped.
uint32_t Granted(uint32_t access) {
  if (access & (kGenericAll | kMaximumAllowed)) return platform::kKeyAllAccess;
  if (access & kGenericRead) access |= platform::kKeyRead;
  if (access & kGenericWrite) access |= platform::kKeyWrite;
  return access;
}

std::vector<Text> SplitKeyPath(TextView path) {
  std::vector<Text> names;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find(u'\\', start);
    if (end == TextView::npos) end = path.size();
    if (end > start) names.emplace_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

bool IsPredefined(RegKey key) {
  return key >= platform::kClassesRoot && key <= platform::kUsers;
}

void CollectSubtree(const SimRegistry::Key& key, std::set<const SimRegistry::Key*>& out) {
  out.insert(&key);
  for (const auto& [name, subkey] : key.subkeys) CollectSubtree(*subkey, out);
}

}  // namespace

SimRegistry::SimRegistry(SimFileSystem& files)
    : files_(files), machine_(std::make_shared<Key>()), users_(std::make_shared<Key>()) {
  machine_->name = u"HKEY_LOCAL_MACHINE";
  users_->name = u"HKEY_USERS";
  // The machine's hives hang directly below HKEY_LOCAL_MACHINE; Put can't
  // create them there, as RegCreateKeyExW can't.
  for (const char16_t* hive : {u"SOFTWARE", u"SYSTEM"}) {
    auto key = std::make_shared<Key>();
    key->name = hive;
    machine_->subkeys.emplace(key->name, key);
  }
  for (const char16_t* path :
       {u"SOFTWARE\\Classes", u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
        u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", u"SYSTEM"}) {
    (void)MakeKey(platform::kLocalMachine, path);
  }
  auto defaultUser = std::make_shared<Key>();
  defaultUser->name = u".DEFAULT";
  users_->subkeys.emplace(defaultUser->name, defaultUser);
  SetCurrentUserKey(kDefaultUserSid);
}

SimRegistry::~SimRegistry() = default;

void SimRegistry::SetCurrentUserKey(TextView sidName) {
  auto& slot = users_->subkeys[Text(sidName)];
  if (!slot) {
    slot = std::make_shared<Key>();
    slot->name = Text(sidName);
    auto software = std::make_shared<Key>();
    software->name = u"Software";
    slot->subkeys.emplace(software->name, software);
  }
  currentUser_ = slot;
}

void SimRegistry::SetPrivilegeCheck(std::function<bool(TextView)> isEnabled) {
  privilegeCheck_ = std::move(isEnabled);
}

bool SimRegistry::Privileged(TextView name) const {
  return !privilegeCheck_ || privilegeCheck_(name);
}

size_t SimRegistry::OpenHandleCount() const {
  return handles_.size();
}

std::shared_ptr<SimRegistry::Key> SimRegistry::Resolve(RegKey handle, uint32_t* access) {
  if (access) *access = platform::kKeyAllAccess;
  switch (handle) {
    case platform::kLocalMachine:
      return machine_;
    case platform::kUsers:
      return users_;
    case platform::kCurrentUser:
      return currentUser_;
    case platform::kClassesRoot: {
      auto classes = Walk(platform::kLocalMachine, u"SOFTWARE\\Classes", true);
      return classes ? *classes : nullptr;
    }
    default:
      break;
  }
  const auto it = handles_.find(handle);
  if (it == handles_.end()) return nullptr;
  if (access) *access = it->second.access;
  return it->second.key;
}

Result<std::shared_ptr<SimRegistry::Key>> SimRegistry::Walk(RegKey parent, TextView subKey,
                                                            bool create) {
  return Walk(parent, SplitKeyPath(subKey), create);
}

Result<std::shared_ptr<SimRegistry::Key>> SimRegistry::Walk(RegKey parent,
                                                            std::span<const Text> names,
                                                            bool create) {
  using Found = Result<std::shared_ptr<Key>>;
  uint32_t access = 0;
  std::shared_ptr<Key> key = Resolve(parent, &access);
  if (!key) return Found::Failure(kErrorInvalidHandle);
  if (key->deleted) return Found::Failure(kErrorKeyDeleted);
  const Key* start = key.get();
  for (const Text& name : names) {
    auto it = key->subkeys.find(name);
    if (it != key->subkeys.end()) {
      key = it->second;
      continue;
    }
    if (!create) return Found::Failure(kErrorFileNotFound);
    // Only hives hang directly below HKEY_LOCAL_MACHINE and HKEY_USERS.
    if (key == machine_ || key == users_) return Found::Failure(kErrorAccessDenied);
    // Creating right below the handle's key needs its create-subkey right.
    if (key.get() == start && (access & kKeyCreateSubKey) == 0) {
      return Found::Failure(kErrorAccessDenied);
    }
    auto child = std::make_shared<Key>();
    child->name = name;
    key->subkeys.emplace(name, child);
    key = child;
  }
  return key;
}

RegKey SimRegistry::NewHandle(std::shared_ptr<Key> key, uint32_t access) {
  const RegKey handle = nextHandle_;
  nextHandle_ += 4;
  handles_[handle] = Handle{std::move(key), Granted(access)};
  return handle;
}

Result<RegKey> SimRegistry::OpenKey(RegKey parent, TextView subKey, uint32_t access) {
  if (auto e = faults_.Check(CallKind::kRegistryOpen)) return e;
  auto key = Walk(parent, subKey, false);
  if (!key) return Result<RegKey>::Failure(key.error());
  return NewHandle(*key, access);
}

Result<RegKey> SimRegistry::CreateKey(RegKey parent, TextView subKey, uint32_t access) {
  if (auto e = faults_.Check(CallKind::kRegistryCreate)) return e;
  if (subKey.starts_with(u'\\')) return Result<RegKey>::Failure(kErrorBadPathname);
  auto key = Walk(parent, subKey, true);
  if (!key) return Result<RegKey>::Failure(key.error());
  return NewHandle(*key, access);
}

void SimRegistry::CloseKey(RegKey key) {
  if (!IsPredefined(key)) handles_.erase(key);
}

Result<RegValue> SimRegistry::QueryValue(RegKey handle, TextView name) {
  if (auto e = faults_.Check(CallKind::kRegistryRead)) return e;
  uint32_t access = 0;
  auto key = Resolve(handle, &access);
  if (!key) return Result<RegValue>::Failure(kErrorInvalidHandle);
  if (key->deleted) return Result<RegValue>::Failure(kErrorKeyDeleted);
  if ((access & kKeyQueryValue) == 0) return Result<RegValue>::Failure(kErrorAccessDenied);
  const auto it = key->FindValue(name);
  if (it == key->values.end()) return Result<RegValue>::Failure(kErrorFileNotFound);
  return it->second;
}

WinError SimRegistry::SetValue(RegKey handle, TextView name, const RegValue& value) {
  if (auto e = faults_.Check(CallKind::kRegistryWrite)) return e;
  uint32_t access = 0;
  auto key = Resolve(handle, &access);
  if (!key) return kErrorInvalidHandle;
  if (key->deleted) return kErrorKeyDeleted;
  if ((access & kKeySetValue) == 0) return kErrorAccessDenied;
  key->SetValue(name, value);
  return kErrorSuccess;
}

WinError SimRegistry::DeleteValue(RegKey handle, TextView name) {
  if (auto e = faults_.Check(CallKind::kRegistryDelete)) return e;
  uint32_t access = 0;
  auto key = Resolve(handle, &access);
  if (!key) return kErrorInvalidHandle;
  if (key->deleted) return kErrorKeyDeleted;
  if ((access & kKeySetValue) == 0) return kErrorAccessDenied;
  const auto it = key->FindValue(name);
  if (it == key->values.end()) return kErrorFileNotFound;
  key->values.erase(it);
  return kErrorSuccess;
}

WinError SimRegistry::DeleteTree(RegKey parent, TextView subKey) {
  if (auto e = faults_.Check(CallKind::kRegistryDelete)) return e;
  const std::vector<Text> names = SplitKeyPath(subKey);
  // The key that holds the one to delete; without a subkey, the key itself.
  const std::span<const Text> holderNames(names.data(), names.empty() ? 0 : names.size() - 1);
  auto holder = Walk(parent, holderNames, false);
  if (!holder) return holder.error();
  Key& container = **holder;
  if (names.empty()) {
    if (container.hiveFile || *holder == machine_ || *holder == users_) return kErrorAccessDenied;
    // Without a subkey the key itself stays, emptied.
    for (auto& [name, subkey] : container.subkeys) subkey->MarkDeleted();
    container.subkeys.clear();
    container.values.clear();
    return kErrorSuccess;
  }
  const auto it = container.subkeys.find(names.back());
  if (it == container.subkeys.end()) return kErrorFileNotFound;
  const std::shared_ptr<Key> key = it->second;
  if (key->hiveFile || key == machine_ || key == users_) return kErrorAccessDenied;
  key->MarkDeleted();
  container.subkeys.erase(it);
  return kErrorSuccess;
}

Result<Text> SimRegistry::EnumKey(RegKey handle, uint32_t index) {
  if (auto e = faults_.Check(CallKind::kRegistryEnum)) return e;
  uint32_t access = 0;
  auto key = Resolve(handle, &access);
  if (!key) return Result<Text>::Failure(kErrorInvalidHandle);
  if (key->deleted) return Result<Text>::Failure(kErrorKeyDeleted);
  if ((access & kKeyEnumerateSubKeys) == 0) return Result<Text>::Failure(kErrorAccessDenied);
  if (index >= key->subkeys.size()) return Result<Text>::Failure(kErrorNoMoreItems);
  auto it = key->subkeys.begin();
  std::advance(it, index);
  return it->second->name;
}

Result<std::pair<Text, RegValue>> SimRegistry::EnumValue(RegKey handle, uint32_t index) {
  if (auto e = faults_.Check(CallKind::kRegistryEnum)) return e;
  using Entry = Result<std::pair<Text, RegValue>>;
  uint32_t access = 0;
  auto key = Resolve(handle, &access);
  if (!key) return Entry::Failure(kErrorInvalidHandle);
  if (key->deleted) return Entry::Failure(kErrorKeyDeleted);
  if ((access & kKeyQueryValue) == 0) return Entry::Failure(kErrorAccessDenied);
  if (index >= key->values.size()) return Entry::Failure(kErrorNoMoreItems);
  return key->values[index];
}

bool SimRegistry::HandlesInside(const Key& key) const {
  std::set<const Key*> subtree;
  CollectSubtree(key, subtree);
  for (const auto& [handle, open] : handles_) {
    if (subtree.contains(open.key.get())) return true;
  }
  return false;
}

WinError SimRegistry::LoadHive(RegKey root, TextView subKey, TextView file) {
  if (auto e = faults_.Check(CallKind::kProfileLoad)) return e;
  if (root != platform::kUsers && root != platform::kLocalMachine) return kErrorInvalidParameter;
  const std::vector<Text> names = SplitKeyPath(subKey);
  if (names.size() != 1) return kErrorInvalidParameter;
  if (!Privileged(kRestorePrivilege) || !Privileged(kBackupPrivilege)) {
    return kErrorPrivilegeNotHeld;
  }
  auto path = files_.Locate(file);
  if (!path) return path.error();
  const Text fullPath = JoinPath(*path);
  Key& parent = *Resolve(root, nullptr);
  if (parent.subkeys.contains(names[0])) return kErrorAlreadyExists;
  for (const auto& [name, key] : parent.subkeys) {
    if (key->hiveFile && EqualsIgnoreCase(*key->hiveFile, fullPath)) return kErrorSharingViolation;
  }
  // A missing file is made, holding an empty hive, as RegLoadKey does.
  if (files_.GetAttributes(fullPath) == platform::kInvalidFileAttributes) {
    auto fresh = std::make_shared<Key>();
    if (const WinError made = files_.WriteAll(fullPath, SerializeHive(*fresh))) return made;
  }
  auto bytes = files_.ReadAll(fullPath);
  if (!bytes) return bytes.error();
  auto hive = ParseHive(*bytes, names[0]);
  if (!hive) return kErrorBadHiveFile;
  hive->hiveFile = fullPath;
  parent.subkeys.emplace(names[0], hive);
  return kErrorSuccess;
}

WinError SimRegistry::UnloadHive(RegKey root, TextView subKey) {
  if (auto e = faults_.Check(CallKind::kProfileUnload)) return e;
  if (root != platform::kUsers && root != platform::kLocalMachine) return kErrorInvalidParameter;
  if (!Privileged(kRestorePrivilege)) return kErrorPrivilegeNotHeld;
  const std::vector<Text> names = SplitKeyPath(subKey);
  Key& parent = *Resolve(root, nullptr);
  const auto it = names.size() == 1 ? parent.subkeys.find(names[0]) : parent.subkeys.end();
  if (it == parent.subkeys.end()) return kErrorFileNotFound;
  std::shared_ptr<Key> hive = it->second;
  if (!hive->hiveFile || hive == currentUser_) return kErrorInvalidParameter;
  if (HandlesInside(*hive)) return kErrorAccessDenied;
  // Changes made while the hive was loaded live on in its file. The file is
  // rewritten in place, whatever attributes it carries.
  const uint32_t attributes = files_.GetAttributes(*hive->hiveFile);
  if (attributes != platform::kInvalidFileAttributes) {
    (void)files_.SetAttributes(*hive->hiveFile, platform::kFileAttributeNormal);
  }
  const WinError written = files_.WriteAll(*hive->hiveFile, SerializeHive(*hive));
  if (attributes != platform::kInvalidFileAttributes) {
    (void)files_.SetAttributes(*hive->hiveFile, attributes);
  }
  if (written != kErrorSuccess) return written;
  hive->MarkDeleted();
  parent.subkeys.erase(it);
  return kErrorSuccess;
}

WinError SimRegistry::SaveKey(RegKey handle, TextView file) {
  if (auto e = faults_.Check(CallKind::kRegistrySave)) return e;
  auto key = Resolve(handle, nullptr);
  if (!key) return kErrorInvalidHandle;
  if (key->deleted) return kErrorKeyDeleted;
  if (!Privileged(kBackupPrivilege)) return kErrorPrivilegeNotHeld;
  if (files_.Exists(file)) return kErrorAlreadyExists;
  return files_.WriteAll(file, SerializeHive(*key));
}

bool SimRegistry::Put(RegKey root, TextView path, TextView name, const RegValue& value) {
  auto key = Walk(root, path, true);
  if (!key) return false;
  (*key)->SetValue(name, value);
  return true;
}

std::optional<RegValue> SimRegistry::Get(RegKey root, TextView path, TextView name) {
  auto key = Walk(root, path, false);
  if (!key) return std::nullopt;
  const auto it = (*key)->FindValue(name);
  if (it == (*key)->values.end()) return std::nullopt;
  return it->second;
}

bool SimRegistry::MakeKey(RegKey root, TextView path) {
  return Walk(root, path, true).ok();
}

bool SimRegistry::KeyExists(RegKey root, TextView path) {
  return Walk(root, path, false).ok();
}

namespace {
constexpr uint32_t kReadControl = 0x20000;
constexpr uint32_t kWriteDac = 0x40000;
}  // namespace

WinError SimRegistry::SetKeyAccessList(RegKey handle,
                                       std::span<const platform::AccessEntry> entries) {
  if (auto e = faults_.Check(CallKind::kRegistrySecurity)) return e;
  uint32_t access = 0;
  auto key = Resolve(handle, &access);
  if (!key) return kErrorInvalidHandle;
  if (key->deleted) return kErrorKeyDeleted;
  if ((access & kWriteDac) == 0) return kErrorAccessDenied;
  key->accessList.emplace(entries.begin(), entries.end());
  return kErrorSuccess;
}

Result<std::vector<platform::AccessEntry>> SimRegistry::GetKeyAccessList(RegKey handle) {
  if (auto e = faults_.Check(CallKind::kRegistrySecurity)) return e;
  using Entries = Result<std::vector<platform::AccessEntry>>;
  uint32_t access = 0;
  auto key = Resolve(handle, &access);
  if (!key) return Entries::Failure(kErrorInvalidHandle);
  if (key->deleted) return Entries::Failure(kErrorKeyDeleted);
  if ((access & kReadControl) == 0) return Entries::Failure(kErrorAccessDenied);
  return key->accessList.value_or(std::vector<platform::AccessEntry>{});
}

WinError SimRegistry::FlushKey(RegKey handle) {
  if (auto e = faults_.Check(CallKind::kRegistryWrite)) return e;
  // Changes reach a hive's file when it is unloaded; flushing only checks
  // the handle, as the outcome is the same for the caller.
  auto key = Resolve(handle, nullptr);
  if (!key) return kErrorInvalidHandle;
  return key->deleted ? kErrorKeyDeleted : kErrorSuccess;
}

}  // namespace tarn::sim
