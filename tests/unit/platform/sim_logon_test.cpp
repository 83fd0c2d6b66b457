// Logons on the simulated machine: the environment an account's own logon
// gives it, and what the Run and RunOnce keys start when a person logs on.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <tuple>

#include "platform/environment_block.h"
#include "platform/sim/machine.h"

namespace tarn::sim {
namespace {

using ::testing::ElementsAre;

constexpr char16_t kRun[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kRunOnce[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char16_t kTarn[] = u"\"C:\\Program Files\\tarn\\tarn.exe\" /DownGrade=\"anna\"";

struct LogonMachine {
  LogonMachine() {
    EXPECT_EQ(machine.services().EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}),
              kErrorSuccess);
    platform::UserInfo info;
    info.name = u"anna";
    annaSid = machine.accounts().UserSid(machine.accounts().PutUser(info, u"Pw-1"));
    sid = annaSid.ToText();
    (void)machine.registry().Put(
        platform::kLocalMachine,
        Text(u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\") + sid,
        u"ProfileImagePath", platform::RegValue::FromText(u"C:\\Users\\anna"));
    (void)machine.files().MakeDirectories(u"C:\\Users\\anna");
    machine.processes().AddProgram(u"notes.exe", {});
    SimProgram tarn;
    tarn.requiresElevation = true;
    machine.processes().AddProgram(u"C:\\Program Files\\tarn\\tarn.exe", tarn);
  }

  // Writes anna's NTUSER.DAT with `values`: (key path, name, value).
  void WriteHive(const std::vector<std::tuple<Text, Text, platform::RegValue>>& values) {
    auto& registry = machine.registry();
    for (const auto& [path, name, value] : values) {
      ASSERT_TRUE(registry.Put(platform::kCurrentUser, u"Scratch\\" + path, name, value));
    }
    auto key = registry.OpenKey(platform::kCurrentUser, u"Scratch", platform::kKeyAllAccess);
    ASSERT_TRUE(key.ok());
    ASSERT_EQ(registry.SaveKey(*key, u"C:\\Users\\anna\\NTUSER.DAT"), kErrorSuccess);
    registry.CloseKey(*key);
    ASSERT_EQ(registry.DeleteTree(platform::kCurrentUser, u"Scratch"), kErrorSuccess);
  }

  std::string Variable(const platform::EnvironmentBlock& block, TextView name) {
    for (const auto& entry : platform::ParseEnvironmentBlock(block).value_or(
             std::vector<platform::EnvironmentEntry>{})) {
      if (EqualsIgnoreCase(entry.name, name)) return ToUtf8(entry.value);
    }
    return "(unset)";
  }

  std::vector<std::string> Texts(const std::vector<Text>& lines) {
    std::vector<std::string> out;
    for (const Text& line : lines) out.push_back(ToUtf8(line));
    return out;
  }

  // Puts a value into anna's hive file.
  void PutIntoHive(TextView path, TextView name, const platform::RegValue& value) {
    auto& registry = machine.registry();
    ASSERT_EQ(registry.LoadHive(platform::kUsers, sid, u"C:\\Users\\anna\\NTUSER.DAT"),
              kErrorSuccess);
    ASSERT_TRUE(registry.Put(platform::kUsers, sid + u"\\" + Text(path), name, value));
    ASSERT_EQ(registry.UnloadHive(platform::kUsers, sid), kErrorSuccess);
  }

  Machine machine;
  platform::Sid annaSid;
  Text sid;
};

TEST(SimLogonTest, AnAccountsLogonEnvironmentComesFromItsProfileAndHive) {
  LogonMachine m;
  m.machine.userProfiles().SetSystemVariables(
      {{u"Path", u"C:\\Windows\\system32"}, {u"TEMP", u"C:\\Windows\\TEMP"}});
  m.WriteHive({{u"Environment", u"TEMP",
                platform::RegValue::FromText(u"%USERPROFILE%\\AppData\\Local\\Temp",
                                             platform::kRegExpandSz)},
               {u"Environment", u"Path", platform::RegValue::FromText(u"C:\\anna\\bin")},
               {u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
                u"AppData", platform::RegValue::FromText(u"D:\\Roaming\\%USERNAME%")}});

  auto block = m.machine.processes().LogonEnvironment({u"anna", u"", u"Pw-1"});
  ASSERT_TRUE(block) << block.error();
  EXPECT_EQ(m.Variable(*block, u"USERPROFILE"), "C:\\Users\\anna");
  EXPECT_EQ(m.Variable(*block, u"TEMP"), "C:\\Users\\anna\\AppData\\Local\\Temp");
  EXPECT_EQ(m.Variable(*block, u"APPDATA"), "D:\\Roaming\\anna");
  EXPECT_EQ(m.Variable(*block, u"LOCALAPPDATA"), "C:\\Users\\anna\\AppData\\Local");
  EXPECT_EQ(m.Variable(*block, u"Path"), "C:\\Windows\\system32;C:\\anna\\bin");
  EXPECT_EQ(m.Variable(*block, u"HOMEPATH"), "\\Users\\anna");
  // The logon gave the hive back.
  EXPECT_FALSE(m.machine.registry().KeyExists(platform::kUsers, m.sid));
  for (const platform::LogonCredentials wrong : {platform::LogonCredentials{u"anna", u"", u"Pw-2"},
                                                 platform::LogonCredentials{u"nobody", u"", u""}}) {
    EXPECT_EQ(m.machine.processes().LogonEnvironment(wrong).error(), platform::kErrorLogonFailure);
  }
}

TEST(SimLogonTest, ALogonStartsRunAndRunOnceButNothingThatAsksForElevation) {
  LogonMachine m;
  (void)m.machine.accounts().AddLocalGroupMember(u"", u"Administrators", m.annaSid);
  auto& registry = m.machine.registry();
  (void)registry.Put(platform::kLocalMachine, kRun, u"Notes",
                     platform::RegValue::FromText(u"notes.exe /tray"));
  (void)registry.Put(platform::kLocalMachine, kRun, u"Tool",
                     platform::RegValue::FromText(u"\"C:\\Program Files\\tarn\\tarn.exe\" /x"));
  (void)registry.Put(platform::kLocalMachine, kRunOnce, u"Once",
                     platform::RegValue::FromText(u"notes.exe /once"));
  m.WriteHive({{kRunOnce, u"DowngradeTarnDefaultUser", platform::RegValue::FromText(kTarn)},
               {kRunOnce, u"!Later", platform::RegValue::FromText(u"notes.exe /later")},
               {kRun, u"Mine", platform::RegValue::FromText(u"notes.exe /mine")}});

  auto first = m.machine.processes().SimulateLogon(u"anna");
  ASSERT_TRUE(first) << first.error();
  EXPECT_THAT(m.Texts(first->started), ElementsAre("notes.exe /once", "notes.exe /tray",
                                                   "notes.exe /mine", "notes.exe /later"));
  EXPECT_THAT(m.Texts(first->notStarted),
              ElementsAre("\"C:\\Program Files\\tarn\\tarn.exe\" /x", ToUtf8(kTarn)));
  const auto launches = m.machine.processes().launches();
  ASSERT_EQ(launches.size(), 4u);
  EXPECT_EQ(launches[0].accountName, std::optional<Text>(u"anna"));
  EXPECT_EQ(m.Variable(*launches[0].environment, u"USERPROFILE"), "C:\\Users\\anna");

  // RunOnce values went before their commands ran, whatever became of them.
  auto second = m.machine.processes().SimulateLogon(u"anna");
  ASSERT_TRUE(second);
  EXPECT_THAT(m.Texts(second->started), ElementsAre("notes.exe /tray", "notes.exe /mine"));

  // An approved prompt lets a RunOnce command ask for elevation; a Run key never does.
  m.PutIntoHive(kRunOnce, u"DowngradeTarnDefaultUser", platform::RegValue::FromText(kTarn));
  auto approved = m.machine.processes().SimulateLogon(u"anna", true);
  ASSERT_TRUE(approved);
  EXPECT_THAT(m.Texts(approved->started),
              ElementsAre("notes.exe /tray", "notes.exe /mine", ToUtf8(kTarn)));
  EXPECT_THAT(m.Texts(approved->notStarted),
              ElementsAre("\"C:\\Program Files\\tarn\\tarn.exe\" /x"));

  // A standard user may not delete the machine's RunOnce values: they wait.
  (void)registry.Put(platform::kLocalMachine, kRunOnce, u"Once",
                     platform::RegValue::FromText(u"notes.exe /once"));
  (void)m.machine.accounts().RemoveLocalGroupMember(u"", u"Administrators", m.annaSid);
  auto standard = m.machine.processes().SimulateLogon(u"anna");
  ASSERT_TRUE(standard);
  EXPECT_THAT(m.Texts(standard->started), ElementsAre("notes.exe /tray", "notes.exe /mine"));
  EXPECT_TRUE(registry.Get(platform::kLocalMachine, kRunOnce, u"Once").has_value());
  EXPECT_EQ(m.machine.processes().SimulateLogon(u"nobody").error(), platform::kErrorLogonFailure);
}

}  // namespace
}  // namespace tarn::sim
