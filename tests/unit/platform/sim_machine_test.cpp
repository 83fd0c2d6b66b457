// The simulated machine's smaller services: environment blocks, desktop,
// services and privileges, system facts.
#include <gtest/gtest.h>

#include <algorithm>

#include "platform/sim/machine.h"

namespace tarn::sim {
namespace {

TEST(SimMachineTest, PlatformViewFillsTheCoreServices) {
  Machine machine;
  const platform::Platform p = machine.platform();
  EXPECT_EQ(p.files, &machine.files());
  EXPECT_EQ(p.registry, &machine.registry());
  EXPECT_EQ(p.environment, &machine.environment());
  EXPECT_EQ(p.system, &machine.system());
  EXPECT_EQ(p.desktop, &machine.desktop());
  EXPECT_EQ(p.services, &machine.services());
}

// The machine as Windows 10/11 leaves it after set-up; the bare one has none
// of it.
TEST(SimMachineTest, AFreshMachineIsAWindows10Machine) {
  Machine machine;
  SimFileSystem& files = machine.files();
  SimRegistry& registry = machine.registry();
  const Text list = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
  for (const auto& [name, value] :
       {std::pair<const char16_t*, const char16_t*>{u"ProfilesDirectory", u"%SystemDrive%\\Users"},
        {u"Default", u"%SystemDrive%\\Users\\Default"},
        {u"Public", u"%SystemDrive%\\Users\\Public"},
        {u"ProgramData", u"%SystemDrive%\\ProgramData"}}) {
    const auto stored = registry.Get(platform::kLocalMachine, list, name);
    ASSERT_TRUE(stored) << ToUtf8(name);
    EXPECT_EQ(ToUtf8(stored->AsText()), ToUtf8(value));
  }
  EXPECT_EQ(ToUtf8(*machine.userProfiles().DefaultUserProfileDirectory()), "C:\\Users\\Default");
  EXPECT_FALSE(registry.KeyExists(
      platform::kLocalMachine,
      u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon\\SpecialAccounts"));

  // The old names lead on, but cannot be listed.
  for (const char16_t* junction : {u"C:\\Documents and Settings", u"C:\\Users\\Default User",
                                   u"C:\\Users\\Default\\My Documents"}) {
    const uint32_t attributes = files.GetAttributes(junction);
    EXPECT_EQ(attributes & 0x406u, 0x406u) << ToUtf8(junction);  // reparse, hidden, system
    EXPECT_EQ(files.ListDirectory(junction).error(), kErrorAccessDenied) << ToUtf8(junction);
  }
  EXPECT_TRUE(files.IsDirectory(u"C:\\Documents and Settings\\Default\\Documents"));
  EXPECT_TRUE(files.ListDirectory(u"C:\\Users\\Default\\Documents").ok());

  // The Default hive: Windows 10/11 folders, keys store apps can read.
  const Text hive = u"C:\\Users\\Default\\NTUSER.DAT";
  ASSERT_NE(files.GetAttributes(hive) & platform::kFileAttributeHidden, 0u);
  ASSERT_EQ(machine.services().EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}),
            kErrorSuccess);
  ASSERT_EQ(registry.LoadHive(platform::kUsers, u"Probe", hive), kErrorSuccess);
  const Text folders =
      u"Probe\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  EXPECT_EQ(ToUtf8(registry.Get(platform::kUsers, folders, u"Personal")->AsText()),
            "%USERPROFILE%\\Documents");
  EXPECT_FALSE(registry.Get(platform::kUsers, folders, u"Local Settings"));
  {
    platform::ScopedKey key =
        platform::ScopedKey::Open(registry, platform::kUsers, folders, platform::kKeyRead);
    ASSERT_TRUE(key);
    const auto access = registry.GetKeyAccessList(key.get());
    ASSERT_TRUE(access);
    EXPECT_TRUE(std::ranges::any_of(*access, [](const platform::AccessEntry& entry) {
      return entry.sid == platform::AllApplicationPackagesSid();
    }));
  }
  EXPECT_EQ(registry.UnloadHive(platform::kUsers, u"Probe"), kErrorSuccess);

  Machine bare(MachineShape::kBare);
  EXPECT_FALSE(bare.files().Exists(u"C:\\Users"));
  EXPECT_FALSE(bare.registry().KeyExists(platform::kLocalMachine, list));
}

TEST(SimEnvironmentTest, BlockIsSortedIgnoringCaseAndKeepsTheNamesCase) {
  SimEnvironment env;
  ASSERT_EQ(env.Set(u"beta", u"2"), kErrorSuccess);
  ASSERT_EQ(env.Set(u"Alpha", u"1"), kErrorSuccess);
  ASSERT_EQ(env.Set(u"GAMMA", u""), kErrorSuccess);
  ASSERT_EQ(env.Set(u"ALPHA", u"one"), kErrorSuccess);
  const Text expected = Text(u"Alpha=one") + u'\0' + u"beta=2" + u'\0' + u"GAMMA=" + u'\0' + u'\0';
  EXPECT_EQ(env.CurrentBlock(), expected);
  EXPECT_EQ(env.Get(u"gamma"), std::optional<Text>(u""));
}

TEST(SimEnvironmentTest, NamesWithEqualsSignsAreRefusedButDriveEntriesSurviveBlocks) {
  SimEnvironment env;
  EXPECT_EQ(env.Set(u"", u"x"), kErrorInvalidParameter);
  EXPECT_EQ(env.Set(u"A=B", u"x"), kErrorInvalidParameter);
  const Text block =
      Text(u"=C:=C:\\work") + u'\0' + u"Path=C:\\bin" + u'\0' + u"junk" + u'\0' + u'\0';
  ASSERT_TRUE(env.ReplaceBlock(block));
  EXPECT_EQ(env.Get(u"=C:"), std::optional<Text>(u"C:\\work"));
  EXPECT_EQ(env.Get(u"PATH"), std::optional<Text>(u"C:\\bin"));
  EXPECT_EQ(env.size(), 2u);
}

TEST(SimEnvironmentTest, ExpansionOverAnyLookup) {
  auto lookup = [](TextView name) -> std::optional<Text> {
    if (EqualsIgnoreCase(name, u"HOME")) return Text(u"C:\\Users\\Ann");
    return std::nullopt;
  };
  EXPECT_EQ(ExpandVariables(u"%home%\\%Missing%\\%", lookup), u"C:\\Users\\Ann\\%Missing%\\%");
}

TEST(SimDesktopTest, BoxesAreRecordedAndAnsweredFromTheScript) {
  SimDesktop desktop;
  EXPECT_EQ(desktop.MessageBox(u"Continue?", u"Question", platform::kMbYesNo), platform::kIdYes);
  EXPECT_EQ(desktop.MessageBox(u"Done", u"Info", platform::kMbOk), platform::kIdOk);
  EXPECT_EQ(desktop.MessageBox(u"Save?", u"Q", 0x3 | platform::kMbIconQuestion), platform::kIdYes);
  EXPECT_EQ(desktop.MessageBoxTimeout(u"Restart?", u"Q", platform::kMbYesNo, 10000),
            platform::kIdTimeout);
  desktop.QueueAnswer(platform::kIdNo);
  EXPECT_EQ(desktop.MessageBoxTimeout(u"Restart?", u"Q", platform::kMbYesNo, 10000),
            platform::kIdNo);
  ASSERT_EQ(desktop.shown().size(), 5u);
  EXPECT_EQ(desktop.shown()[0].text, u"Continue?");
  EXPECT_FALSE(desktop.shown()[0].timeoutMilliseconds);
  EXPECT_EQ(desktop.shown()[4].timeoutMilliseconds, 10000u);
  desktop.SetTimeoutAvailable(false);
  EXPECT_EQ(desktop.MessageBoxTimeout(u"x", u"y", 0, 1), std::nullopt);
  EXPECT_EQ(desktop.shown().size(), 5u);
}

TEST(SimServicesTest, ServiceStatesAndFailures) {
  SimServices services;
  EXPECT_EQ(services.IsServiceRunning(u"SecLogon"), std::optional<bool>(true));
  services.SetServiceState(u"seclogon", ServiceState::kStopped);
  EXPECT_EQ(services.IsServiceRunning(u"seclogon"), std::optional<bool>(false));
  services.SetServiceState(u"seclogon", ServiceState::kStartPending);
  EXPECT_EQ(services.IsServiceRunning(u"seclogon"), std::optional<bool>(false));
  EXPECT_EQ(services.IsServiceRunning(u"NoSuchService"), std::nullopt);
  services.SetManagerAvailable(false);
  EXPECT_EQ(services.IsServiceRunning(u"EventLog"), std::nullopt);
}

TEST(SimServicesTest, PrivilegesAreEnabledWhenHeldAndReportedWhenNot) {
  SimServices services;
  EXPECT_FALSE(services.IsPrivilegeEnabled(u"SeBackupPrivilege"));
  EXPECT_EQ(services.EnablePrivileges({u"SeBackupPrivilege", u"SeNoSuchPrivilege"}), kErrorSuccess);
  EXPECT_TRUE(services.IsPrivilegeEnabled(u"sebackupprivilege"));
  EXPECT_EQ(services.EnablePrivileges({u"SeTcbPrivilege", u"SeRestorePrivilege"}),
            kErrorNotAllAssigned);
  EXPECT_TRUE(services.IsPrivilegeEnabled(u"SeRestorePrivilege"));
  EXPECT_FALSE(services.IsPrivilegeEnabled(u"SeTcbPrivilege"));
  ASSERT_EQ(services.privilegeRequests().size(), 2u);
  EXPECT_EQ(services.privilegeRequests()[1][0], u"SeTcbPrivilege");
  services.SetHeldPrivileges({u"SeShutdownPrivilege"});
  EXPECT_FALSE(services.IsPrivilegeEnabled(u"SeBackupPrivilege"));
}

TEST(SimSystemInfoTest, TwelveHourClockAndShortDate) {
  SimSystemInfo system;
  struct Row {
    uint16_t hour;
    const char16_t* expected;
  } rows[] = {{0, u"12:05:09 AM"}, {9, u"9:05:09 AM"}, {12, u"12:05:09 PM"}, {23, u"11:05:09 PM"}};
  for (const Row& row : rows) {
    const platform::SystemTime time{2026, 1, 0, 2, row.hour, 5, 9, 0};
    EXPECT_EQ(ToUtf8(system.FormatTime(time, 64)), ToUtf8(row.expected)) << row.hour;
  }
  EXPECT_EQ(system.FormatShortDate({2026, 1, 0, 2, 0, 0, 0, 0}, 64), u"1/2/2026");
}

TEST(SimSystemInfoTest, SetupControlsNamesLocalesAndMessages) {
  SimSystemInfo system;
  system.SetUserName(std::nullopt, 1317);
  EXPECT_EQ(system.UserName().error(), 1317u);
  system.SetComputerName(u"WS-01");
  EXPECT_EQ(*system.ComputerName(), u"WS-01");
  system.SetLocales({{1049, u"ru", u"RU", u"Russian"}});
  EXPECT_EQ(system.SupportedLocales(), std::vector<uint32_t>{1049});
  EXPECT_EQ(system.LocaleInfo(1033, platform::kLocaleSIso639LangName, 9), u"");
  EXPECT_EQ(system.LocaleInfo(1049, platform::kLocaleSEnglishLanguage, 8), u"Russian");
  EXPECT_EQ(system.LocaleInfo(1049, platform::kLocaleSEnglishLanguage, 7), u"");
  EXPECT_EQ(system.SystemMessage(2), u"The system cannot find the file specified.\r\n");
  EXPECT_EQ(system.SystemMessage(99999), u"Unknown error 99999.\r\n");
  system.SetSystemMessage(99999, u"Custom.\r\n");
  EXPECT_EQ(system.SystemMessage(99999), u"Custom.\r\n");
  EXPECT_EQ(system.InitiateShutdown(u"Bye", 30, true, true, 4), kErrorSuccess);
  ASSERT_EQ(system.shutdownRequests().size(), 1u);
  EXPECT_TRUE(system.shutdownRequests()[0].reboot);
  EXPECT_EQ(system.shutdownRequests()[0].timeoutSeconds, 30u);
}

}  // namespace
}  // namespace tarn::sim
