// A person's logon on the simulated machine: what the Run and RunOnce keys
// start, as whom, and what they never start.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/sim/machine.h"

namespace tarn::sim {
namespace {

using ::testing::ElementsAre;

constexpr char16_t kRun[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char16_t kRunOnce[] = u"Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr char16_t kHive[] = u"C:\\Users\\anna\\NTUSER.DAT";
constexpr char16_t kTool[] = u"\"C:\\Program Files\\tarn\\tarn.exe\" /x";

TEST(SimLogonTest, ALogonStartsRunAndRunOnceButNothingThatAsksForElevation) {
  Machine m;
  auto& registry = m.registry();
  ASSERT_EQ(m.services().EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}),
            kErrorSuccess);
  platform::UserInfo info;
  info.name = u"anna";
  const platform::Sid sid = m.accounts().UserSid(m.accounts().PutUser(info, u"Pw-1"));
  (void)m.accounts().AddLocalGroupMember(u"", u"Administrators", sid);
  (void)registry.Put(
      platform::kLocalMachine,
      u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\" + sid.ToText(),
      u"ProfileImagePath", platform::RegValue::FromText(u"C:\\Users\\anna"));
  (void)m.files().MakeDirectories(u"C:\\Users\\anna");
  m.processes().AddProgram(u"notes.exe", {});
  SimProgram tool;
  tool.requiresElevation = true;
  m.processes().AddProgram(u"C:\\Program Files\\tarn\\tarn.exe", tool);
  const auto put = [&registry](platform::RegKey root, TextView key, TextView name, TextView text) {
    ASSERT_TRUE(registry.Put(root, key, name, platform::RegValue::FromText(text)));
  };
  put(platform::kLocalMachine, kRun, u"Notes", u"notes.exe /tray");
  put(platform::kLocalMachine, kRun, u"Tool", kTool);
  put(platform::kLocalMachine, kRunOnce, u"Once", u"notes.exe /once");
  // anna's hive file, with her own keys.
  for (const auto& [key, name, text] :
       {std::tuple(kRunOnce, u"Downgrade", kTool), std::tuple(kRunOnce, u"!Later", u"notes.exe /l"),
        std::tuple(kRun, u"Mine", u"notes.exe /mine")}) {
    put(platform::kCurrentUser, Text(u"Scratch\\") + key, name, text);
  }
  const auto scratch = registry.OpenKey(platform::kCurrentUser, u"Scratch", platform::kKeyRead);
  ASSERT_TRUE(scratch.ok());
  ASSERT_EQ(registry.SaveKey(*scratch, kHive), kErrorSuccess);
  registry.CloseKey(*scratch);

  auto first = m.processes().SimulateLogon(u"anna");
  ASSERT_TRUE(first) << first.error();
  EXPECT_THAT(first->started, ElementsAre(u"notes.exe /once", u"notes.exe /tray",
                                          u"notes.exe /mine", u"notes.exe /l"));
  EXPECT_THAT(first->notStarted, ElementsAre(kTool, kTool));
  const auto launches = m.processes().launches();
  ASSERT_EQ(launches.size(), 4u);
  EXPECT_EQ(launches[0].accountName, std::optional<Text>(u"anna"));
  EXPECT_NE(launches[0].environment.value_or(u"").find(u"USERPROFILE=C:\\Users\\anna"), Text::npos);

  // RunOnce values went before their commands ran, whatever became of them;
  // an approved prompt lets a RunOnce command ask for elevation, never a Run one.
  ASSERT_EQ(registry.LoadHive(platform::kUsers, sid.ToText(), kHive), kErrorSuccess);
  put(platform::kUsers, sid.ToText() + u"\\" + kRunOnce, u"Downgrade", kTool);
  ASSERT_EQ(registry.UnloadHive(platform::kUsers, sid.ToText()), kErrorSuccess);
  auto approved = m.processes().SimulateLogon(u"anna", true);
  ASSERT_TRUE(approved);
  EXPECT_THAT(approved->started, ElementsAre(u"notes.exe /tray", u"notes.exe /mine", kTool));
  EXPECT_THAT(approved->notStarted, ElementsAre(kTool));

  // A standard user may not delete the machine's RunOnce values: they wait.
  put(platform::kLocalMachine, kRunOnce, u"Once", u"notes.exe /once");
  (void)m.accounts().RemoveLocalGroupMember(u"", u"Administrators", sid);
  auto standard = m.processes().SimulateLogon(u"anna");
  ASSERT_TRUE(standard);
  EXPECT_THAT(standard->started, ElementsAre(u"notes.exe /tray", u"notes.exe /mine"));
  EXPECT_TRUE(registry.Get(platform::kLocalMachine, kRunOnce, u"Once").has_value());
  EXPECT_EQ(m.processes().SimulateLogon(u"nobody").error(), platform::kErrorLogonFailure);
}

}  // namespace
}  // namespace tarn::sim
