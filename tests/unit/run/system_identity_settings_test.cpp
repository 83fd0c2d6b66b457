#include "run/system_identity_settings.h"

#include <gtest/gtest.h>

#include "unit/run/run_test_machine.h"

namespace tarn::run {
namespace {

using platform::RegValue;
using testing::RunTestMachine;

std::string Value(RunTestMachine& m, TextView key, TextView name) {
  const auto value = m.Machine(key, name);
  if (!value) return "<absent>";
  if (value->type == platform::kRegDword) return "dword:" + std::to_string(*value->AsDword());
  return ToUtf8(value->AsText());
}

void PutOldAutoLogon(RunTestMachine& m) {
  for (const char16_t* name : {u"AutoAdminLogon", u"DefaultPassword", u"AutoLogonCount"}) {
    (void)m.machine.registry().Put(platform::kLocalMachine, kWinlogonKey, name,
                                   RegValue::FromText(u"old"));
  }
}

TEST(SystemIdentityTest, AutoLogonTwoWritesTheAccountAndStoresTheSecretForAPrimary) {
  RunTestMachine m;
  PutOldAutoLogon(m);
  m.app->config.AutoLogon = app::AutoLogonMode::kOn;
  m.app->config.User = u"ann";
  m.app->config.UserPwd = u"s3cret";
  m.app->config.Computer = u"PC1";
  accounts::UserAccount& primary = m.AddPrimary(u"ann", u"s3cret");
  // Another machine's name: the secret still goes to the local policy only.
  primary.Domain = u"\\\\FILESERVER";
  EXPECT_EQ(ApplyAutoLogon(*m.app, &primary), SettingOutcome(kErrorSuccess));
  EXPECT_EQ(Value(m, kWinlogonKey, u"DefaultUserName"), "ann");
  EXPECT_EQ(Value(m, kWinlogonKey, u"AutoAdminLogon"), "1");
  EXPECT_EQ(Value(m, kWinlogonKey, u"DefaultDomainName"), "PC1");
  EXPECT_EQ(Value(m, kWinlogonKey, u"DefaultPassword"), "<absent>");
  EXPECT_EQ(Value(m, kWinlogonKey, u"AutoLogonCount"), "<absent>");
  EXPECT_EQ(m.machine.identity().Secret(kDefaultPasswordSecret), std::optional<Text>(u"s3cret"));
  // Texts are stored with their terminator counted.
  EXPECT_EQ(m.Machine(kWinlogonKey, u"DefaultUserName")->data.size(), 8u);
}

TEST(SystemIdentityTest, AutoLogonTwoWithoutPrimaryStoresNoPassword) {
  RunTestMachine m;
  m.app->config.AutoLogon = app::AutoLogonMode::kOn;
  m.app->config.UserPwd = u"pw";
  (void)m.Run();  // the run fills User with the program's own account
  EXPECT_EQ(Value(m, kWinlogonKey, u"DefaultUserName"), "Administrator");
  EXPECT_EQ(Value(m, kWinlogonKey, u"AutoAdminLogon"), "1");
  EXPECT_EQ(Value(m, kWinlogonKey, u"DefaultPassword"), "<absent>");
  EXPECT_EQ(m.machine.identity().secretCount(), 0u);
}

TEST(SystemIdentityTest, AutoLogonZeroRemovesEvenWhatIsMissing) {
  RunTestMachine m;
  PutOldAutoLogon(m);
  ASSERT_EQ(m.machine.identity().StorePrivateData(kDefaultPasswordSecret, u"old"), 0u);
  m.app->config.AutoLogon = app::AutoLogonMode::kRemove;
  std::vector<std::string> lines;
  m.app->log.SetListener([&lines](Text message, int32_t) { lines.push_back(ToUtf8(message)); });
  (void)ApplyAutoLogon(*m.app, nullptr);
  for (const char16_t* name : {u"AutoAdminLogon", u"DefaultPassword", u"AutoLogonCount"}) {
    EXPECT_EQ(Value(m, kWinlogonKey, name), "<absent>") << ToUtf8(name);
  }
  EXPECT_EQ(m.machine.identity().Secret(kDefaultPasswordSecret), std::nullopt)
      << "the password automatic logon used goes with it";
  EXPECT_EQ(ApplyAutoLogon(*m.app, nullptr), SettingOutcome(kErrorSuccess))
      << "nothing left to remove: still quiet";
  EXPECT_TRUE(lines.empty()) << ::testing::PrintToString(lines);
  m.app->log.SetListener({});
  EXPECT_EQ(Value(m, kWinlogonKey, u"DefaultUserName"), "<absent>");
}

TEST(SystemIdentityTest, AutoLogonOneAndSystemLeaveTheKeyAlone) {
  for (const bool asSystem : {false, true}) {
    RunTestMachine m;
    PutOldAutoLogon(m);
    m.app->config.AutoLogon = asSystem ? app::AutoLogonMode::kOn : app::AutoLogonMode::kUnchanged;
    m.app->config.User = u"ann";
    if (asSystem) m.machine.system().SetUserName(u"SYSTEM");
    EXPECT_FALSE(ApplyAutoLogon(*m.app, nullptr).has_value());
    EXPECT_EQ(Value(m, kWinlogonKey, u"AutoAdminLogon"), "old") << "as SYSTEM: " << asSystem;
    EXPECT_EQ(Value(m, kWinlogonKey, u"DefaultUserName"), "<absent>");
  }
}

TEST(SystemIdentityTest, NameOwnerAndWorkgroupAreWritten) {
  RunTestMachine m;
  m.app->config.Computer = u"NEWPC";
  m.app->config.Owner = u"Ann Example";
  m.app->config.Org = u"";
  m.app->config.Workgroup = u"OFFICE";
  bool restart = false;
  (void)ApplyComputerName(*m.app, restart);
  (void)ApplyOwner(*m.app);
  (void)ApplyOrganization(*m.app);
  (void)ApplyWorkgroup(*m.app);
  EXPECT_EQ(m.machine.identity().pendingComputerName(), std::optional<Text>(u"NEWPC"));
  EXPECT_EQ(Value(m, kTcpipParametersKey, u"NV Hostname"), "NEWPC");
  EXPECT_EQ(Value(m, kCurrentVersionKey, u"RegisteredOwner"), "Ann Example");
  EXPECT_EQ(Value(m, kCurrentVersionKey, u"RegisteredOrganization"), "");
  EXPECT_EQ(m.machine.identity().workgroup(), std::optional<Text>(u"OFFICE"));
  const auto join = m.machine.accounts().GetJoinInformation(u"");
  ASSERT_TRUE(join);
  EXPECT_EQ(join->name, u"OFFICE");
}

TEST(SystemIdentityTest, SkipSettingsWritesNothing) {
  RunTestMachine m;
  (void)m.machine.registry().Put(platform::kLocalMachine, kLsaKey, kLimitBlankPasswordUse,
                                 RegValue::FromDword(1));
  m.app->config.SkipSettings = 1;
  m.app->config.AutoLogon = app::AutoLogonMode::kOn;
  m.app->config.Computer = u"NEWPC";
  m.app->config.Owner = u"Ann";
  (void)m.Run();
  EXPECT_EQ(Value(m, kWinlogonKey, u"AutoAdminLogon"), "<absent>");
  EXPECT_EQ(Value(m, kTcpipParametersKey, u"NV Hostname"), "<absent>");
  EXPECT_EQ(Value(m, kCurrentVersionKey, u"RegisteredOwner"), "<absent>");
  EXPECT_EQ(Value(m, kLsaKey, kLimitBlankPasswordUse), "dword:1");
  EXPECT_FALSE(m.machine.identity().pendingComputerName().has_value());
  EXPECT_FALSE(m.machine.identity().workgroup().has_value());
  EXPECT_EQ(m.worker.calls, 0);
}

TEST(SystemIdentityTest, KeysThatDoNotOpenSkipTheirWrites) {
  RunTestMachine m;
  (void)m.machine.registry().DeleteTree(platform::kLocalMachine, kLsaKey);
  EXPECT_FALSE(RelaxBlankPasswordPolicy(*m.app).has_value());
  EXPECT_FALSE(m.machine.registry().KeyExists(platform::kLocalMachine, kLsaKey));
}

}  // namespace
}  // namespace tarn::run
