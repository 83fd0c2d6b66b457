#include "accounts/account_profiles.h"

#include "base/format.h"
#include "platform/environment.h"
#include "platform/expand_text.h"
#include "platform/file_system.h"
#include "platform/registry_text.h"
#include "platform/security.h"
#include "platform/services.h"
#include "platform/user_profiles.h"

namespace tarn::accounts {

namespace {

using platform::ScopedKey;

constexpr uint32_t kProfilePathBytes = 520;
constexpr char16_t kHiveFileName[] = u"ntuser.dat";

Text ExpandPath(const AccountServices& services, TextView path, uint32_t capacity) {
  return ExpandIntoBuffer(services.platform.environment, path, capacity);
}

TextView LastComponent(TextView path) {
  const size_t slash = path.find_last_of(u"\\/");
  return slash == TextView::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<platform::Sid> ResolveAccountSid(const AccountServices& services, TextView server,
                                               TextView name, uint32_t wantedUse) {
  platform::Security* security = services.platform.security;
  if (name.empty()) return std::nullopt;
  auto answer = security->LookupName(server, name);
  if (!answer) return std::nullopt;
  if (wantedUse == platform::kSidTypeUser && answer->use == platform::kSidTypeDomain) {
    answer = security->LookupName(server, Format(u"%s\\%s", {name, name}));
    if (!answer) return std::nullopt;
  }
  return answer->sid;
}

std::optional<ProfileRecord> FindProfile(const AccountServices& services, TextView name,
                                         const std::optional<platform::Sid>& sid) {
  ProfileRecord record;
  if (EqualsIgnoreCase(name, u"system")) {
    auto folder = services.platform.userProfiles->DefaultUserProfileDirectory();
    if (!folder) return std::nullopt;
    record.localPath = CutToCapacity(*folder, 260);
    return record;
  }
  if (!sid) return std::nullopt;
  platform::Registry& registry = *services.platform.registry;
  const Text subKey = Format(u"%s\\%s", {TextView(kProfileListKey), sid->ToText()});
  ScopedKey key = ScopedKey::Open(registry, platform::kLocalMachine, subKey, platform::kKeyRead);
  if (!key) return std::nullopt;
  const Text local = ReadTextValue(registry, key.get(), u"ProfileImagePath", kProfilePathBytes);
  if (!local.empty()) record.localPath = ExpandPath(services, local, 261);
  const Text roaming = ReadTextValue(registry, key.get(), u"CentralProfile", kProfilePathBytes);
  if (!roaming.empty()) record.roamingPath = ExpandPath(services, roaming, 261);
  if (auto preference = registry.QueryValue(key.get(), u"UserPreference")) {
    record.preference = preference->AsDword().value_or(0);
  }
  return record;
}

Text HiveFilePath(const AccountServices& services, TextView folder) {
  Text path = ExpandPath(services, folder, 261);
  // File names on Windows ignore case; "NTUSER.DAT" is the same file.
  if (EqualsIgnoreCase(LastComponent(path), kHiveFileName)) return path;
  if (!path.empty() && path.back() != u'\\') path += u'\\';
  path += kHiveFileName;
  return path;
}

std::optional<UserHive> LoadUserHive(const AccountServices& services, const platform::Sid& sid,
                                     TextView folder) {
  if (folder.empty()) return std::nullopt;
  platform::Registry& registry = *services.platform.registry;
  const Text sidText = sid.ToText();
  // An account that is logged on has its hive loaded already.
  if (auto loaded = registry.OpenKey(platform::kUsers, sidText, platform::kKeyAllAccess)) {
    return UserHive{*loaded, false};
  }
  const Text file = HiveFilePath(services, folder);
  if (!services.platform.files->Exists(file)) return std::nullopt;
  const platform::PrivilegeScope privileges(*services.platform.services,
                                            platform::HiveLoadingPrivileges());
  if (registry.LoadHive(platform::kUsers, sidText, file) != kErrorSuccess) return std::nullopt;
  auto root = registry.OpenKey(platform::kUsers, sidText, platform::kKeyAllAccess);
  if (!root) {
    (void)registry.UnloadHive(platform::kUsers, sidText);
    return std::nullopt;
  }
  return UserHive{*root, true};
}

WinError UnloadUserHive(const AccountServices& services, const platform::Sid& sid,
                        const UserHive& hive) {
  platform::Registry& registry = *services.platform.registry;
  registry.CloseKey(hive.root);
  if (!hive.loadedHere) return kErrorSuccess;
  const platform::PrivilegeScope privileges(*services.platform.services,
                                            platform::HiveLoadingPrivileges());
  return registry.UnloadHive(platform::kUsers, sid.ToText());
}

}  // namespace tarn::accounts
