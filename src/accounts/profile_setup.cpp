#include "accounts/profile_setup.h"

#include <algorithm>

#include "accounts/account_profiles.h"
#include "accounts/shell_folder_table.h"
#include "base/format.h"
#include "base/shell_folder_names.h"
#include "platform/expand_text.h"
#include "platform/file_system.h"
#include "platform/registry_text.h"
#include "platform/user_profiles.h"

namespace tarn::accounts {

namespace {

using platform::AccessEntry;
using platform::ScopedKey;
using platform::Sid;

constexpr uint32_t kPathCharacters = 260;
constexpr uint32_t kProfilePathBytes = 522;
constexpr uint8_t kPassedDown =
    platform::kAceObjectInherit | platform::kAceContainerInherit | platform::kAceInheritOnly;

Text Expand(const AccountServices& services, TextView path) {
  return ExpandIntoBuffer(services.platform.environment, path, kPathCharacters + 1);
}

Text WithoutTrailingSlash(Text path) {
  while (!path.empty() && (path.back() == u'\\' || path.back() == u'/')) path.pop_back();
  return path;
}

Text Join(TextView folder, TextView name) {
  return WithoutTrailingSlash(Text(folder)) + u'\\' + Text(name);
}

bool HasDotComponent(TextView path) {
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of(u"\\/", start);
    if (end == TextView::npos) end = path.size();
    const TextView part = path.substr(start, end - start);
    if (part == u"." || part == u"..") return true;
    start = end + 1;
  }
  return false;
}

// Creates `path` and every missing folder above it.
WinError CreateFolders(platform::FileSystem& files, TextView path) {
  const Text full = WithoutTrailingSlash(Text(path));
  if (full.empty() || files.IsDirectory(full)) return kErrorSuccess;
  const size_t slash = full.find_last_of(u"\\/");
  if (slash != Text::npos && slash > 0 && full[slash - 1] != u':' && full[slash - 1] != u'\\') {
    if (const WinError error = CreateFolders(files, TextView(full).substr(0, slash))) return error;
  }
  const WinError created = files.CreateDirectory(full);
  return created == kErrorAlreadyExists ? kErrorSuccess : created;
}

// Copies the files and folders of `from` into `to`, with their hidden and
// system marks. Links are not followed: what they lead to is not part of the
// profile, and an old name's junction is no folder of the new one. False
// when something was not copied.
bool CopyTree(platform::FileSystem& files, TextView from, TextView to) {
  const WinError made = files.CreateDirectory(to);
  bool whole = made == kErrorSuccess || made == kErrorAlreadyExists;
  const uint32_t marks = files.GetAttributes(from);
  if (marks != platform::kInvalidFileAttributes) (void)files.SetAttributes(to, marks);
  auto entries = files.ListDirectory(from);
  if (!entries) return false;
  for (const platform::DirectoryEntry& entry : *entries) {
    if (entry.info.attributes & platform::kFileAttributeReparsePoint) continue;
    const Text source = Join(from, entry.name);
    const Text target = Join(to, entry.name);
    if (entry.info.attributes & platform::kFileAttributeDirectory) {
      whole = CopyTree(files, source, target) && whole;
    } else {
      whole = files.CopyFile(source, target, /*failIfExists=*/false) == kErrorSuccess && whole;
    }
  }
  return whole;
}

// Deletes `folder` and what it holds. A link is removed as a link: entering
// it would delete what it leads to, which lies outside the profile.
// True when the folder is gone.
bool DeleteTree(platform::FileSystem& files, TextView folder) {
  if (folder.empty()) return true;
  const uint32_t attributes = files.GetAttributes(folder);
  if (attributes == platform::kInvalidFileAttributes) return true;
  if ((attributes & platform::kFileAttributeReparsePoint) == 0) {
    if (auto entries = files.ListDirectory(folder)) {
      for (const platform::DirectoryEntry& entry : *entries) {
        const Text path = Join(folder, entry.name);
        const uint32_t kind = entry.info.attributes;
        if ((kind & platform::kFileAttributeDirectory) != 0) {
          (void)DeleteTree(files, path);  // The folder's own removal tells.
        } else {
          (void)files.SetAttributes(path, platform::kFileAttributeNormal);
          (void)files.DeleteFile(path);
        }
      }
    }
  }
  (void)files.SetAttributes(folder, platform::kFileAttributeNormal);
  return files.RemoveDirectory(folder) == kErrorSuccess;
}

// The profiles folder, expanded, without a trailing separator.
Text ProfilesFolder(const AccountServices& services) {
  auto folder = services.platform.userProfiles->ProfilesDirectory();
  return folder ? WithoutTrailingSlash(Expand(services, *folder)) : Text();
}

// A value of the profile list itself; empty when it is missing.
Text ProfileListValue(const AccountServices& services, TextView value) {
  platform::Registry& registry = *services.platform.registry;
  ScopedKey list =
      ScopedKey::Open(registry, platform::kLocalMachine, kProfileListKey, platform::kKeyRead);
  return list ? ReadTextValue(registry, list.get(), value, kProfilePathBytes) : Text();
}

// The folders of the profile list's own values, expanded: the profiles
// every account shares, which no account's deletion may take away.
std::vector<Text> SharedProfileFolders(const AccountServices& services) {
  std::vector<Text> folders;
  for (const TextView value : {u"Default", u"Public", u"ProgramData"}) {
    const Text stored = ProfileListValue(services, value);
    if (!stored.empty()) folders.push_back(WithoutTrailingSlash(Expand(services, stored)));
  }
  const Text profiles = ProfilesFolder(services);
  for (const TextView value : {u"DefaultUserProfile", u"AllUsersProfile"}) {
    const Text name = ProfileListValue(services, value);
    if (!name.empty() && !profiles.empty()) folders.push_back(Join(profiles, name));
  }
  if (auto folder = services.platform.userProfiles->DefaultUserProfileDirectory()) {
    folders.push_back(WithoutTrailingSlash(Expand(services, *folder)));
  }
  return folders;
}

// True when `path` may be deleted as a profile: strictly inside the
// profiles folder, without "." or ".." to climb out, and not one of the
// profiles that every account shares.
bool IsDeletableProfile(const AccountServices& services, TextView path) {
  const Text profiles = ProfilesFolder(services);
  const Text target = WithoutTrailingSlash(Text(path));
  if (profiles.empty() || HasDotComponent(target)) return false;
  if (!StartsWithIgnoreCase(target, profiles + u'\\') || target.size() <= profiles.size() + 1) {
    return false;
  }
  for (const Text& shared : SharedProfileFolders(services)) {
    if (EqualsIgnoreCase(target, shared)) return false;
  }
  return true;
}

// `key`'s own access list with each of `added` that it lacks: the entries
// Windows gave the key (store apps and Settings read through ALL
// APPLICATION PACKAGES, restricted tokens through RESTRICTED) stay.
WinError MergeAccessList(platform::Registry& registry, platform::RegKey key,
                         const std::vector<AccessEntry>& added) {
  auto present = registry.GetKeyAccessList(key);
  // Without the present list, writing one would drop what it holds.
  if (!present) return present.error();
  std::vector<AccessEntry> merged = std::move(*present);
  for (const AccessEntry& entry : added) {
    if (std::find(merged.begin(), merged.end(), entry) == merged.end()) merged.push_back(entry);
  }
  return registry.SetKeyAccessList(key, merged);
}

// Merges `entries` into every key below `key`, depth first; the first failure.
WinError MergeBelow(platform::Registry& registry, platform::RegKey key,
                    const std::vector<AccessEntry>& entries) {
  WinError first = kErrorSuccess;
  for (uint32_t index = 0;; ++index) {
    auto name = registry.EnumKey(key, index);
    if (!name) break;
    ScopedKey subkey = ScopedKey::Open(registry, key, *name, platform::kKeyAllAccess);
    if (!subkey) continue;
    const WinError below = MergeBelow(registry, subkey.get(), entries);
    const WinError here = MergeAccessList(registry, subkey.get(), entries);
    if (first == kErrorSuccess) first = below != kErrorSuccess ? below : here;
  }
  return first;
}

// Starts the hive's shell folders from the system defaults: the paths
// the .DEFAULT user has replace the copied ones, and the resolved paths the
// copy holds are emptied so that the system works them out again at the
// first logon. A folder neither has is left out: a folder of an older
// system must not appear in a new profile. The first failure of a write.
WinError ResetShellFolders(const AccountServices& services, platform::RegKey root) {
  platform::Registry& registry = *services.platform.registry;
  WinError first = kErrorSuccess;
  auto keep = [&first](WinError error) {
    if (first == kErrorSuccess) first = error;
  };
  ScopedKey user = ScopedKey::Open(registry, root, kUserShellFoldersKey, platform::kKeyAllAccess);
  ScopedKey system =
      ScopedKey::Open(registry, platform::kUsers, kDefaultUserShellFoldersKey, platform::kKeyRead);
  if (user && system) {
    for (const TextView name : ShellFolderNames()) {
      const Text path = ReadTextValue(registry, system.get(), name, kShellFolderValueBytes);
      if (path.empty()) continue;
      keep(registry.SetValue(user.get(), name,
                             platform::RegValue::FromText(path, platform::kRegExpandSz)));
    }
  }
  ScopedKey resolved = ScopedKey::Open(
      registry, root, u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      platform::kKeyAllAccess);
  if (!resolved) return first;
  const platform::RegValue empty{platform::kRegSz, {}};
  const auto reset = [&](TextView name) {
    if (registry.QueryValue(resolved.get(), name))
      keep(registry.SetValue(resolved.get(), name, empty));
  };
  for (const TextView name : ShellFolderNames()) reset(name);
  reset(u"AppData");
  return first;
}

}  // namespace

std::vector<AccessEntry> ProfileAccessList(const Sid& account) {
  const Sid administrators = platform::AdministratorsSid();
  const Sid system = platform::LocalSystemSid();
  std::vector<AccessEntry> entries;
  for (const Sid* sid : {&administrators, &system, &account}) {
    entries.push_back({*sid, 0, platform::kFileAllAccess});
    entries.push_back({*sid, kPassedDown, platform::kGenericAll});
  }
  return entries;
}

WinError PrepareNewHive(const AccountServices& services, const Sid& account, TextView folder) {
  platform::Registry& registry = *services.platform.registry;
  auto root = LoadUserHive(services, account, folder);
  if (!root) return kErrorFileNotFound;
  std::vector<AccessEntry> entries = ProfileAccessList(account);
  WinError result = MergeAccessList(registry, *root, entries);
  const WinError flushed = registry.FlushKey(*root);
  for (AccessEntry& entry : entries) entry.flags |= platform::kAceInherited;
  const WinError below = MergeBelow(registry, *root, entries);
  const WinError reset = ResetShellFolders(services, *root);
  const WinError unloaded = UnloadUserHive(services, account, *root);
  for (const WinError later : {flushed, below, reset, unloaded}) {
    if (result == kErrorSuccess) result = later;
  }
  return result;
}

namespace {

// The profile-list entry of `account`, created when missing.
ScopedKey ProfileListEntry(platform::Registry& registry, const Sid& account) {
  return ScopedKey::Create(registry, platform::kLocalMachine,
                           Format(u"%s\\%s", {TextView(kProfileListKey), account.ToText()}),
                           platform::kKeyAllAccess);
}

WinError RecordLocalProfile(platform::Registry& registry, const Sid& account, TextView folder) {
  ScopedKey entry = ProfileListEntry(registry, account);
  if (!entry) return kErrorAccessDenied;
  const WinError path =
      registry.SetValue(entry.get(), u"ProfileImagePath",
                        platform::RegValue::FromText(folder, platform::kRegExpandSz));
  const WinError sid = registry.SetValue(
      entry.get(), u"Sid", platform::RegValue{platform::kRegBinary, account.ToBytes()});
  return path != kErrorSuccess ? path : sid;
}

// Whether `folder` lies inside `outer` or is it.
bool FolderWithin(TextView folder, TextView outer) {
  return !outer.empty() &&
         (EqualsIgnoreCase(folder, outer) ||
          StartsWithIgnoreCase(folder, WithoutTrailingSlash(Text(outer)) + u'\\'));
}

// Whether some account other than `account` has `folder` in the profile list.
bool BelongsToAnotherProfile(const AccountServices& services, const Sid& account, TextView folder) {
  platform::Registry& registry = *services.platform.registry;
  ScopedKey list =
      ScopedKey::Open(registry, platform::kLocalMachine, kProfileListKey, platform::kKeyRead);
  if (!list) return false;
  const Text own = account.ToText();
  for (uint32_t index = 0;; ++index) {
    auto name = registry.EnumKey(list.get(), index);
    if (!name) return false;
    if (EqualsIgnoreCase(*name, own)) continue;
    ScopedKey entry = ScopedKey::Open(registry, list.get(), *name, platform::kKeyRead);
    if (!entry) continue;
    const Text stored =
        ReadTextValue(registry, entry.get(), u"ProfileImagePath", kProfilePathBytes);
    if (!stored.empty() &&
        EqualsIgnoreCase(WithoutTrailingSlash(Expand(services, stored)), folder)) {
      return true;
    }
  }
}

// Whether `folder` may become the profile of `account`: never a drive root,
// a folder of the system or one that every account shares, nor another
// account's profile.
bool MayHoldProfile(const AccountServices& services, const Sid& account, TextView folder) {
  const bool driveRoot = folder.size() <= 3 && folder.size() >= 2 && folder[1] == u':';
  const bool shareRoot =
      folder.starts_with(u"\\\\") && std::count(folder.begin(), folder.end(), u'\\') <= 3;
  if (driveRoot || shareRoot) {
    return false;
  }
  platform::Environment& environment = *services.platform.environment;
  for (const TextView variable : {u"SystemRoot", u"ProgramFiles", u"ProgramFiles(x86)"}) {
    const auto value = environment.Get(variable);
    if (value && FolderWithin(folder, *value)) return false;
  }
  const Text profiles = ProfilesFolder(services);
  if (!profiles.empty() && EqualsIgnoreCase(folder, profiles)) return false;
  for (const Text& shared : SharedProfileFolders(services)) {
    if (FolderWithin(folder, shared)) return false;
  }
  return !BelongsToAnotherProfile(services, account, folder);
}

// An existing folder passes to the account only when nobody has made it
// theirs: it is empty and still owned by Administrators or SYSTEM. A folder
// that can't be looked at stays as it is, and `error` tells why.
bool MayTakeOver(platform::FileSystem& files, TextView folder, WinError& error) {
  auto entries = files.ListDirectory(folder);
  if (!entries) {
    error = entries.error();
    return false;
  }
  if (!entries->empty()) return false;
  auto owner = files.GetOwner(folder);
  if (!owner) {
    error = owner.error();
    return false;
  }
  return *owner == platform::AdministratorsSid() || *owner == platform::LocalSystemSid();
}

// Both kinds of profile folder alike: made with the profile access list
// (a folder already there keeps its own), owned by the account, and filled
// from the Default profile when it holds no hive yet. `record` enters the
// folder in the profile list.
ProfileSetup SetUpProfileFolder(const AccountServices& services, const Sid& account,
                                TextView folder, const std::function<WinError()>& record,
                                const ProfileCopy& copy) {
  platform::FileSystem& files = *services.platform.files;
  ProfileSetup result;
  const Text path = WithoutTrailingSlash(Expand(services, folder));
  if (path.empty()) return {kErrorPathNotFound, kErrorSuccess};
  if (!MayHoldProfile(services, account, path)) return {kErrorAccessDenied, kErrorSuccess};
  const bool existed = files.IsDirectory(path);
  WinError unowned = kErrorSuccess;
  const bool takeOver = !existed || MayTakeOver(files, path, unowned);
  if (const WinError error = CreateFolders(files, path)) return {error, kErrorSuccess};
  const std::vector<AccessEntry> entries = ProfileAccessList(account);
  // A folder that was there keeps the list it has: it may be a profile in
  // use whose owner set it.
  const WinError secured = existed ? kErrorSuccess : files.SetAccessList(path, entries);
  const WinError recorded = record();

  const Text hive = HiveFilePath(services, path);
  const bool hadHive = files.Exists(hive);
  WinError owned = takeOver ? files.SetOwner(path, account) : unowned;
  for (const WinError earlier : {recorded, secured}) {
    if (earlier != kErrorSuccess) owned = earlier;
  }
  result.details = owned;
  if (hadHive) return result;
  const Text source = DefaultProfileFolder(services);
  // Without the Default profile's hive there is nothing to start from, and
  // loading the missing file would only make an empty one.
  if (source.empty() || !files.Exists(HiveFilePath(services, source))) {
    result.copy = kErrorFileNotFound;
    return result;
  }
  const bool copied = copy ? copy(source, path) : CopyTree(files, source, path);
  if (!copied) result.copy = platform::kErrorGenFailure;
  if (!files.Exists(hive)) {
    result.copy = kErrorFileNotFound;
    return result;
  }
  // The copied hive is the account's alone: its file, like its keys.
  const WinError hiveOwned = files.SetOwner(hive, account);
  const WinError hiveSecured = files.SetAccessList(hive, entries);
  const WinError prepared = PrepareNewHive(services, account, path);
  for (const WinError later : {hiveOwned, hiveSecured, prepared}) {
    if (result.details == kErrorSuccess) result.details = later;
  }
  return result;
}

}  // namespace

Text DefaultProfileFolder(const AccountServices& services) {
  if (auto folder = services.platform.userProfiles->DefaultUserProfileDirectory()) {
    if (!folder->empty()) return WithoutTrailingSlash(Expand(services, *folder));
  }
  const Text stored = ProfileListValue(services, u"Default");
  if (!stored.empty()) return WithoutTrailingSlash(Expand(services, stored));
  const Text name = ProfileListValue(services, u"DefaultUserProfile");
  const Text profiles = ProfilesFolder(services);
  return name.empty() || profiles.empty() ? Text() : Join(profiles, name);
}

ProfileSetup SetUpLocalProfile(const AccountServices& services, const Sid& account, TextView folder,
                               const ProfileCopy& copy) {
  platform::Registry& registry = *services.platform.registry;
  return SetUpProfileFolder(
      services, account, folder,
      [&registry, &account, folder] { return RecordLocalProfile(registry, account, folder); },
      copy);
}

ProfileSetup SetUpRoamingProfile(const AccountServices& services, const Sid& account,
                                 TextView folder, uint32_t preference, const ProfileCopy& copy) {
  platform::Registry& registry = *services.platform.registry;
  const auto record = [&registry, &account, preference] {
    ScopedKey entry = ProfileListEntry(registry, account);
    if (!entry) return kErrorAccessDenied;
    return registry.SetValue(entry.get(), u"UserPreference",
                             platform::RegValue::FromDword(preference));
  };
  return SetUpProfileFolder(services, account, folder, record, copy);
}

namespace {

// Candidate `attempt` of a new profile folder: "name", then "name.0001", ...
Text ProfileFolderCandidate(TextView profiles, TextView name, uint32_t attempt) {
  return Join(profiles, attempt == 0 ? Text(name) : Format(u"%s.%.4d", {name, attempt}));
}

}  // namespace

Text PlannedProfileFolder(const AccountServices& services, TextView name) {
  const Text profiles = ProfilesFolder(services);
  if (profiles.empty()) return Text();
  for (uint32_t i = 0;; ++i) {
    Text profile = ProfileFolderCandidate(profiles, name, i);
    if (services.platform.files->GetAttributes(profile) == platform::kInvalidFileAttributes) {
      return profile;
    }
  }
}

WinError MakeProfileFolder(const AccountServices& services, TextView name,
                           std::span<const AccessEntry> entries, Text& profile, WinError* secured) {
  platform::FileSystem& files = *services.platform.files;
  const Text profiles = ProfilesFolder(services);
  if (profiles.empty()) return kErrorPathNotFound;
  if (const WinError error = CreateFolders(files, profiles)) return error;
  WinError result = kErrorSuccess;
  for (uint32_t i = 0;; ++i) {
    profile = ProfileFolderCandidate(profiles, name, i);
    result = files.CreateDirectory(profile);
    if (result != kErrorAlreadyExists) break;
  }
  if (result == kErrorSuccess) {
    const WinError error = files.SetAccessList(profile, entries);
    if (secured != nullptr) *secured = error;
  }
  return result;
}

bool DeleteProfile(const AccountServices& services, TextView server, TextView name) {
  const auto sid = ResolveAccountSid(services, server, name);
  if (!sid) return false;
  return DeleteProfileOf(services, *sid);
}

bool DeleteProfileOf(const AccountServices& services, const platform::Sid& account) {
  platform::Registry& registry = *services.platform.registry;
  ScopedKey list =
      ScopedKey::Open(registry, platform::kLocalMachine, kProfileListKey, platform::kKeyAllAccess);
  if (!list) return false;
  const Text sidText = account.ToText();
  Text folder;
  {
    ScopedKey entry = ScopedKey::Open(registry, list.get(), sidText, platform::kKeyRead);
    if (!entry) return true;
    const Text stored =
        ReadTextValue(registry, entry.get(), u"ProfileImagePath", kProfilePathBytes);
    if (!stored.empty()) folder = WithoutTrailingSlash(Expand(services, stored));
  }
  // A loaded hive is a profile in use; its files are open.
  if (ScopedKey::Open(registry, platform::kUsers, sidText, platform::kKeyRead)) return false;
  if (folder.empty()) return registry.DeleteTree(list.get(), sidText) == kErrorSuccess;
  // A folder that isn't this account's alone stays, and so does the entry
  // that leads to it: without the entry nobody would find it again.
  if (!IsDeletableProfile(services, folder) || BelongsToAnotherProfile(services, account, folder)) {
    return false;
  }
  list.Reset();
  // The system's own deletion knows what else belongs to a profile; only
  // where it is missing does the folder go piece by piece.
  constexpr WinError kErrorCallNotImplemented = 120;
  constexpr WinError kErrorProcedureNotFound = 127;
  const WinError removed = services.platform.userProfiles->DeleteUserProfile(sidText);
  if (removed != kErrorCallNotImplemented && removed != kErrorProcedureNotFound) {
    return removed == kErrorSuccess;
  }
  if (!DeleteTree(*services.platform.files, folder)) return false;
  return registry.DeleteTree(platform::kLocalMachine,
                             Format(u"%s\\%s", {TextView(kProfileListKey), sidText})) ==
         kErrorSuccess;
}

}  // namespace tarn::accounts
