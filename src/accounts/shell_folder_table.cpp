#include "accounts/shell_folder_table.h"

#include "platform/registry_text.h"

namespace tarn::accounts {

namespace {

using platform::RegKey;
using platform::ScopedKey;

ScopedKey OpenDefaultFolders(platform::Registry& registry) {
  return ScopedKey::Open(registry, platform::kUsers, kDefaultUserShellFoldersKey,
                         platform::kKeyRead);
}

// Folder `index`'s built-in default, `key` being the open .Default key.
Text DefaultFromKey(const AccountServices& services, RegKey key, size_t index) {
  Text value = ReadTextValue(*services.platform.registry, key, ShellFolderNames()[index],
                             kShellFolderValueBytes);
  if (value.empty())
    value = services.TextOf(kShellFolderDefaultTextBase + static_cast<uint32_t>(index));
  return CutToCapacity(value, kPathCapacity);
}

Text FolderFromKey(platform::Registry& registry, RegKey key, size_t index) {
  return ReadTextValue(registry, key, ShellFolderNames()[index], kShellFolderValueBytes);
}

}  // namespace

std::optional<size_t> DefaultShellFolderParent(size_t index) {
  switch (index) {
    case kFolderMyMusic:
    case kFolderMyPictures:
    case kFolderMyVideo:
      return kFolderPersonal;
    case kFolderCache:
    case kFolderHistory:
    case kFolderLocalAppData:
      return kFolderLocalSettings;
    case kFolderPrograms:
      return kFolderStartMenu;
    case kFolderStartup:
      return kFolderPrograms;
    default:
      return std::nullopt;
  }
}

bool DefaultShellFolder(const AccountServices& services, size_t index, Text& path) {
  if (index >= kShellFolderCount) return false;
  ScopedKey key = OpenDefaultFolders(*services.platform.registry);
  if (!key) return false;
  path = DefaultFromKey(services, key.get(), index);
  return true;
}

ShellFolderPaths ReadDefaultShellFolders(const AccountServices& services) {
  ShellFolderPaths paths;
  ScopedKey key = OpenDefaultFolders(*services.platform.registry);
  if (!key) return paths;
  for (size_t i = 0; i < kShellFolderCount; ++i) paths[i] = DefaultFromKey(services, key.get(), i);
  return paths;
}

bool ReadShellFolder(platform::Registry& registry, RegKey root, size_t index, Text& path) {
  if (index >= kShellFolderCount) return false;
  ScopedKey key = ScopedKey::Open(registry, root, kUserShellFoldersKey, platform::kKeyRead);
  if (!key) return false;
  path = FolderFromKey(registry, key.get(), index);
  return !path.empty();
}

std::array<std::optional<Text>, kShellFolderCount> ReadShellFolders(platform::Registry& registry,
                                                                    RegKey root) {
  std::array<std::optional<Text>, kShellFolderCount> paths;
  ScopedKey key = ScopedKey::Open(registry, root, kUserShellFoldersKey, platform::kKeyRead);
  if (!key) return paths;
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    Text path = FolderFromKey(registry, key.get(), i);
    if (!path.empty()) paths[i] = std::move(path);
  }
  return paths;
}

ShellFolderPaths ReadShellFoldersOrDefaults(const AccountServices& services, RegKey root) {
  std::array<std::optional<Text>, kShellFolderCount> found;
  found = ReadShellFolders(*services.platform.registry, root);
  std::optional<ShellFolderPaths> defaults;
  ShellFolderPaths paths;
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    if (found[i]) {
      paths[i] = std::move(*found[i]);
      continue;
    }
    if (!defaults) defaults = ReadDefaultShellFolders(services);
    paths[i] = std::move((*defaults)[i]);
  }
  return paths;
}

void ToAccountPlaceholders(Text& path, size_t capacity) {
  ReplaceText(path, capacity, u"%USERPROFILE%", u"%ThisProfile%");
  ReplaceText(path, capacity, u"%HOMEDRIVE%%HOMEPATH%", u"%ThisHome%");
  ReplaceText(path, capacity, u"%USERNAME%", u"%ThisUser%");
}

int32_t ReadWelcomeScreen(platform::Registry& registry, TextView name) {
  ScopedKey key =
      ScopedKey::Open(registry, platform::kLocalMachine, kWelcomeScreenKey, platform::kKeyRead);
  if (!key) return kWelcomeUnchanged;
  auto value = registry.QueryValue(key.get(), name);
  if (!value) return kWelcomeUnchanged;
  const auto number = value->AsDword();
  return number ? static_cast<int32_t>(*number) : kWelcomeUnchanged;
}

WinError SetWelcomeScreen(platform::Registry& registry, TextView name, int32_t value) {
  if (value == kWelcomeUnchanged) return kErrorSuccess;
  WinError error = kErrorSuccess;
  // A fresh Windows 10/11 has no such key: hiding the first account makes
  // it. Without the key every account is shown, so showing needs none.
  ScopedKey key = value == 0 ? ScopedKey::Create(registry, platform::kLocalMachine,
                                                 kWelcomeScreenKey, platform::kKeyWrite, &error)
                             : ScopedKey::Open(registry, platform::kLocalMachine, kWelcomeScreenKey,
                                               platform::kKeyWrite, &error);
  if (!key) return error == kErrorFileNotFound && value != 0 ? kErrorSuccess : error;
  return registry.SetValue(key.get(), name,
                           platform::RegValue::FromDword(static_cast<uint32_t>(value)));
}

}  // namespace tarn::accounts
