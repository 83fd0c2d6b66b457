// The fixed table of an account's 22 shell folders, their built-in defaults,
// the bounded placeholder replacement used on their paths, and the
// welcome-screen visibility of an account.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "accounts/account_services.h"
#include "accounts/user_account.h"
#include "base/text.h"
#include "platform/registry.h"
#include "resource.h"

namespace tarn::accounts {

inline constexpr size_t kFolderMyMusic = 0;
inline constexpr size_t kFolderMyPictures = 1;
inline constexpr size_t kFolderMyVideo = 2;
inline constexpr size_t kFolderPersonal = 3;
inline constexpr size_t kFolderCache = 5;
inline constexpr size_t kFolderDesktop = 8;
inline constexpr size_t kFolderHistory = 11;
inline constexpr size_t kFolderLocalAppData = 12;
inline constexpr size_t kFolderLocalSettings = 13;
inline constexpr size_t kFolderPrograms = 16;
inline constexpr size_t kFolderStartMenu = 19;
inline constexpr size_t kFolderStartup = 20;

// First translation text of the built-in folder defaults (plus the index).
inline constexpr uint32_t kShellFolderDefaultTextBase = IDS_SHELL_FOLDER_DEFAULT_FIRST;

inline constexpr char16_t kUserShellFoldersKey[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
inline constexpr char16_t kDefaultUserShellFoldersKey[] =
    u".Default\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
inline constexpr char16_t kWelcomeScreenKey[] =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\SpecialAccounts\\UserList";

// Value bytes read for one folder path (260 characters).
inline constexpr uint32_t kShellFolderValueBytes = 520;

// The folder that contains folder `index` by default; nullopt for none.
[[nodiscard]] std::optional<size_t> DefaultShellFolderParent(size_t index);

// A path for each shell folder, by index.
using ShellFolderPaths = std::array<Text, kShellFolderCount>;

// The built-in default of folder `index`: the .Default user's value, else the
// translation text 3200 + index. False (path unchanged) for an index of 22 or
// more or when the .Default key can't be opened.
[[nodiscard]] bool DefaultShellFolder(const AccountServices& services, size_t index, Text& path);

// Every folder's built-in default as DefaultShellFolder gives it, the .Default
// key opened once; all empty when it can't be opened.
[[nodiscard]] ShellFolderPaths ReadDefaultShellFolders(const AccountServices& services);

// The folder's value under `root`'s User Shell Folders key (520 bytes); true
// when it is not empty.
[[nodiscard]] bool ReadShellFolder(platform::Registry& registry, platform::RegKey root,
                                   size_t index, Text& path);

// Every folder's value under `root`'s User Shell Folders key as
// ReadShellFolder reads it, the key opened once; nullopt where the value is
// empty or missing, everywhere when the key can't be opened.
[[nodiscard]] std::array<std::optional<Text>, kShellFolderCount> ReadShellFolders(
    platform::Registry& registry, platform::RegKey root);

// Every folder's value under `root`'s User Shell Folders key (registry of
// `services`), its built-in default where ReadShellFolders has none. The
// defaults are read only when one is needed.
[[nodiscard]] ShellFolderPaths ReadShellFoldersOrDefaults(const AccountServices& services,
                                                          platform::RegKey root);

// The three replacements that turn the system's own variables into the
// record's placeholders: %USERPROFILE% -> %ThisProfile%,
// %HOMEDRIVE%%HOMEPATH% -> %ThisHome%, %USERNAME% -> %ThisUser%.
void ToAccountPlaceholders(Text& path, size_t capacity = kPathCapacity);

// The welcome-screen value of `name`, or kWelcomeUnchanged when the key or
// value is missing.
[[nodiscard]] int32_t ReadWelcomeScreen(platform::Registry& registry, TextView name);

// Writes `value` for `name` unless it is kWelcomeUnchanged. Hiding (0)
// creates the key when it is missing; showing writes nothing without it, as
// every account is shown then. Returns the outcome of the write
// (kErrorSuccess when there was nothing to do).
WinError SetWelcomeScreen(platform::Registry& registry, TextView name, int32_t value);

}  // namespace tarn::accounts
