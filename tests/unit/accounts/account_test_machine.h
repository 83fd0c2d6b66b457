// A simulated machine prepared for the account tests: the .Default user's
// shell folders, a translator that knows the folder defaults, and helpers
// for configuration files, existing accounts and their profiles.
#pragma once

#include <gtest/gtest.h>

#include <string_view>
#include <tuple>
#include <vector>

#include "accounts/account_services.h"
#include "accounts/shell_folder_table.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_profile_files.h"

namespace tarn::accounts::testing {

// The .Default user's folder values of a fresh system, by index.
inline constexpr std::array<const char16_t*, 22> kDefaultFolderValues = {
    u"%USERPROFILE%\\My Documents\\My Music",
    u"%USERPROFILE%\\My Documents\\My Pictures",
    u"%USERPROFILE%\\My Documents\\My Videos",
    u"%USERPROFILE%\\My Documents",
    u"%USERPROFILE%\\Start Menu\\Programs\\Administrative Tools",
    u"%USERPROFILE%\\Local Settings\\Temporary Internet Files",
    u"%USERPROFILE%\\Local Settings\\Application Data\\Microsoft\\CD Burning",
    u"%USERPROFILE%\\Cookies",
    u"%USERPROFILE%\\Desktop",
    u"%USERPROFILE%\\Favorites",
    u"%SystemRoot%\\Fonts",
    u"%USERPROFILE%\\Local Settings\\History",
    u"%USERPROFILE%\\Local Settings\\Application Data",
    u"%USERPROFILE%\\Local Settings",
    u"%USERPROFILE%\\NetHood",
    u"%USERPROFILE%\\PrintHood",
    u"%USERPROFILE%\\Start Menu\\Programs",
    u"%USERPROFILE%\\Recent",
    u"%USERPROFILE%\\SendTo",
    u"%USERPROFILE%\\Start Menu",
    u"%USERPROFILE%\\Start Menu\\Programs\\Startup",
    u"%USERPROFILE%\\Templates"};

class AccountMachine {
 public:
  // With `olderDefaults`, the .Default user's folders are those of
  // kDefaultFolderValues (every one of the 22 set) instead of the Windows
  // 10/11 machine's own.
  explicit AccountMachine(bool olderDefaults = true) {
    if (!olderDefaults) return;
    for (size_t i = 0; i < kShellFolderCount; ++i) {
      machine.registry().Put(
          platform::kUsers, kDefaultUserShellFoldersKey, ShellFolderNames()[i],
          platform::RegValue::FromText(kDefaultFolderValues[i], platform::kRegExpandSz));
    }
  }

  // The machine's services, with profile files over its file system.
  [[nodiscard]] platform::Platform platform() {
    platform::Platform p = machine.platform();
    if (p.profiles == nullptr) p.profiles = &profiles_;
    return p;
  }

  // The services over this machine; folder texts 3200 + i are "Text<i>".
  [[nodiscard]] AccountServices services() {
    return AccountServices{platform(), [](uint32_t id) {
                             return id >= 3200 && id < 3222 ? Text(u"Text") + DecimalText(id - 3200)
                                                            : Text(u"text ") + DecimalText(id);
                           }};
  }

  // Writes a configuration file (UTF-8 text, lines separated by \n).
  void WriteIni(TextView path, std::string_view utf8) {
    ASSERT_TRUE(machine.files().PutTextFile(path, utf8));
  }

  // Adds a local account with level-3 details; returns its SID text.
  Text AddAccount(const platform::UserInfo& info) {
    const uint32_t rid = machine.accounts().PutUser(info);
    return machine.accounts().UserSid(rid).ToText();
  }

  // Records a profile for `sidText` in the profile list.
  void AddProfileListEntry(TextView sidText, TextView localPath, TextView centralPath,
                           std::optional<uint32_t> preference) {
    const Text key = Text(kProfileListKeyText) + u"\\" + Text(sidText);
    machine.registry().Put(platform::kLocalMachine, key, u"ProfileImagePath",
                           platform::RegValue::FromText(localPath, platform::kRegExpandSz));
    if (!centralPath.empty()) {
      machine.registry().Put(platform::kLocalMachine, key, u"CentralProfile",
                             platform::RegValue::FromText(centralPath));
    }
    if (preference) {
      machine.registry().Put(platform::kLocalMachine, key, u"UserPreference",
                             platform::RegValue::FromDword(*preference));
    }
  }

  // Writes a hive file at `file` holding `values`: (key path, name, text),
  // in place of any file there.
  void WriteHive(TextView file,
                 const std::vector<std::tuple<Text, Text, platform::RegValue>>& values) {
    ASSERT_EQ(machine.services().EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}),
              kErrorSuccess);
    auto& registry = machine.registry();
    const Text scratch = u"TarnTestHive";
    ASSERT_TRUE(registry.Put(platform::kCurrentUser, scratch, u"", platform::RegValue{}));
    for (const auto& [path, name, value] : values) {
      ASSERT_TRUE(registry.Put(platform::kCurrentUser, scratch + u"\\" + path, name, value));
    }
    auto key = registry.OpenKey(platform::kCurrentUser, scratch, platform::kKeyAllAccess);
    ASSERT_TRUE(key.ok());
    // A file already there (the machine's own Default hive, say) is replaced.
    (void)machine.files().DeleteFile(file);
    ASSERT_EQ(registry.SaveKey(*key, file), kErrorSuccess);
    registry.CloseKey(*key);
    ASSERT_EQ(registry.DeleteTree(platform::kCurrentUser, scratch), kErrorSuccess);
  }

  static constexpr char16_t kProfileListKeyText[] =
      u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

  sim::Machine machine;

 private:
  sim::SimProfileFiles profiles_{machine.files()};
};

}  // namespace tarn::accounts::testing
