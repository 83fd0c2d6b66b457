#include "accounts/profile_setup.h"

#include "accounts/account_profiles.h"
#include "accounts/shell_folder_table.h"
#include "base/format.h"
#include "base/shell_folder_names.h"
#include "platform/expand_text.h"
#include "platform/file_system.h"
#include "platform/registry_text.h"
#include "platform/system_info.h"
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
constexpr char16_t kRunOnceKey[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char16_t kRunOnceValue[] = u"DowngradeTarnDefaultUser";

Sid NtSid(std::vector<uint32_t> subAuthorities) {
  Sid sid;
  sid.subAuthorities = std::move(subAuthorities);
  return sid;
}

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

// Copies the files and folders of `from` into `to`. Links are not followed:
// what they lead to is not part of the profile.
void CopyTree(platform::FileSystem& files, TextView from, TextView to) {
  (void)files.CreateDirectory(to);
  auto entries = files.ListDirectory(from);
  if (!entries) return;
  for (const platform::DirectoryEntry& entry : *entries) {
    if (entry.info.attributes & platform::kFileAttributeReparsePoint) continue;
    const Text source = Join(from, entry.name);
    const Text target = Join(to, entry.name);
    if (entry.info.attributes & platform::kFileAttributeDirectory) {
      CopyTree(files, source, target);
    } else {
      (void)files.CopyFile(source, target, /*failIfExists=*/false);
    }
  }
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

Text ProfileListName(const AccountServices& services, TextView value, TextView fallback) {
  platform::Registry& registry = *services.platform.registry;
  ScopedKey list =
      ScopedKey::Open(registry, platform::kLocalMachine, kProfileListKey, platform::kKeyRead);
  Text name = list ? ReadTextValue(registry, list.get(), value, kProfilePathBytes) : Text();
  return name.empty() ? Text(fallback) : name;
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
  for (const Text& shared :
       {Join(profiles, ProfileListName(services, u"DefaultUserProfile", u"Default User")),
        Join(profiles, ProfileListName(services, u"AllUsersProfile", u"All Users"))}) {
    if (EqualsIgnoreCase(target, shared)) return false;
  }
  return true;
}

// Sets `entries` on every key below `key`, depth first; the first failure.
WinError SetBelow(platform::Registry& registry, platform::RegKey key,
                  const std::vector<AccessEntry>& entries) {
  WinError first = kErrorSuccess;
  for (uint32_t index = 0;; ++index) {
    auto name = registry.EnumKey(key, index);
    if (!name) break;
    ScopedKey subkey = ScopedKey::Open(registry, key, *name, platform::kKeyAllAccess);
    if (!subkey) continue;
    const WinError below = SetBelow(registry, subkey.get(), entries);
    const WinError here = registry.SetKeyAccessList(subkey.get(), entries);
    if (first == kErrorSuccess) first = below != kErrorSuccess ? below : here;
  }
  return first;
}

// Starts the hive's shell folders from the system defaults: the paths
// from the .DEFAULT user (or the built-in texts), and the resolved paths
// emptied so that the system works them out again at the first logon. The
// first failure of a write.
WinError ResetShellFolders(const AccountServices& services, platform::RegKey root) {
  platform::Registry& registry = *services.platform.registry;
  WinError first = kErrorSuccess;
  auto keep = [&first](WinError error) {
    if (first == kErrorSuccess) first = error;
  };
  ScopedKey user = ScopedKey::Open(registry, root, kUserShellFoldersKey, platform::kKeyAllAccess);
  if (user) {
    const ShellFolderPaths defaults = ReadDefaultShellFolders(services);
    for (size_t i = 0; i < kShellFolderCount; ++i) {
      Text path = defaults[i];
      if (path.empty())
        path = services.TextOf(kShellFolderDefaultTextBase + static_cast<uint32_t>(i));
      keep(registry.SetValue(user.get(), ShellFolderNames()[i],
                             platform::RegValue::FromText(path, platform::kRegExpandSz)));
    }
  }
  ScopedKey resolved = ScopedKey::Open(
      registry, root, u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
      platform::kKeyAllAccess);
  if (!resolved) return first;
  const platform::RegValue empty{platform::kRegSz, {}};
  for (const TextView name : ShellFolderNames())
    keep(registry.SetValue(resolved.get(), name, empty));
  keep(registry.SetValue(resolved.get(), u"AppData", empty));
  return first;
}

}  // namespace

std::vector<AccessEntry> ProfileAccessList(const Sid& account) {
  const Sid administrators = NtSid({32, 544});
  const Sid system = NtSid({18});
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
  if (!root) {
    (void)registry.UnloadHive(platform::kUsers, account.ToText());
    return kErrorFileNotFound;
  }
  std::vector<AccessEntry> entries = ProfileAccessList(account);
  WinError result = registry.SetKeyAccessList(*root, entries);
  const WinError flushed = registry.FlushKey(*root);
  for (AccessEntry& entry : entries) entry.flags |= platform::kAceInherited;
  const WinError below = SetBelow(registry, *root, entries);
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

// Both kinds of profile folder alike: made with the profile access list
// (a folder already there keeps its own), owned by the account, and filled
// from the Default User profile when it holds no hive yet. `record` enters
// the folder in the profile list.
WinError SetUpProfileFolder(const AccountServices& services, const Sid& account, TextView folder,
                            const std::function<WinError()>& record, const ProfileCopy& copy) {
  platform::FileSystem& files = *services.platform.files;
  const Text path = WithoutTrailingSlash(Expand(services, folder));
  if (path.empty()) return kErrorPathNotFound;
  const bool existed = files.IsDirectory(path);
  if (const WinError error = CreateFolders(files, path)) return error;
  const std::vector<AccessEntry> entries = ProfileAccessList(account);
  // A folder that was there keeps the list it has: it may be a profile in
  // use whose owner set it.
  const WinError secured = existed ? kErrorSuccess : files.SetAccessList(path, entries);
  const WinError recorded = record();

  const Text hive = HiveFilePath(services, path);
  const bool hadHive = files.Exists(hive);
  WinError owned = files.SetOwner(path, account);
  for (const WinError earlier : {recorded, secured}) {
    if (earlier != kErrorSuccess) owned = earlier;
  }
  if (hadHive) return owned;
  const Text defaultUser = Join(ProfilesFolder(services),
                                ProfileListName(services, u"DefaultUserProfile", u"Default User"));
  if (copy) {
    copy(defaultUser, path);
  } else {
    CopyTree(files, defaultUser, path);
  }
  // The copied hive is the account's alone: its file, like its keys.
  const WinError hiveOwned = files.SetOwner(hive, account);
  const WinError hiveSecured = files.SetAccessList(hive, entries);
  const WinError prepared = PrepareNewHive(services, account, path);
  for (const WinError later : {hiveOwned, hiveSecured, prepared}) {
    if (owned == kErrorSuccess) owned = later;
  }
  return owned;
}

}  // namespace

WinError SetUpLocalProfile(const AccountServices& services, const Sid& account, TextView folder,
                           const ProfileCopy& copy) {
  platform::Registry& registry = *services.platform.registry;
  return SetUpProfileFolder(
      services, account, folder,
      [&registry, &account, folder] { return RecordLocalProfile(registry, account, folder); },
      copy);
}

WinError SetUpRoamingProfile(const AccountServices& services, const Sid& account, TextView folder,
                             uint32_t preference, const ProfileCopy& copy) {
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
  const platform::Sid* sid = &account;
  platform::Registry& registry = *services.platform.registry;
  ScopedKey list =
      ScopedKey::Open(registry, platform::kLocalMachine, kProfileListKey, platform::kKeyAllAccess);
  if (!list) return false;
  const Text sidText = sid->ToText();
  Text folder;
  {
    ScopedKey entry = ScopedKey::Open(registry, list.get(), sidText, platform::kKeyRead);
    if (!entry) return true;
    const Text stored =
        ReadTextValue(registry, entry.get(), u"ProfileImagePath", kProfilePathBytes);
    if (!stored.empty()) folder = Expand(services, stored);
  }
  bool gone = true;
  if (!folder.empty() && IsDeletableProfile(services, folder)) {
    gone = DeleteTree(*services.platform.files, WithoutTrailingSlash(folder));
  }
  return registry.DeleteTree(list.get(), sidText) == kErrorSuccess && gone;
}

WinError ScheduleDowngrade(const AccountServices& services, platform::RegKey hive,
                           TextView arguments) {
  const Text command =
      Format(u"\"%s\" %s", {services.platform.system->ModuleFileName(), arguments});
  // A cut command would run something else at the next logon.
  if (command.size() > kPathCharacters) return kErrorInsufficientBuffer;
  platform::Registry& registry = *services.platform.registry;
  WinError error = kErrorSuccess;
  ScopedKey runOnce = ScopedKey::Create(registry, hive, kRunOnceKey, platform::kKeyWrite, &error);
  if (!runOnce) return error;
  return registry.SetValue(runOnce.get(), kRunOnceValue, platform::RegValue::FromText(command));
}

Text DowngradeArguments(TextView name) {
  return Format(u"/DownGrade=\"%s\"", {name});
}

}  // namespace tarn::accounts
