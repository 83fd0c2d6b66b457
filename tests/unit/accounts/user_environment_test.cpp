#include "accounts/user_environment.h"

#include <gtest/gtest.h>

#include "account_test_machine.h"
#include "accounts/account_profiles.h"

namespace tarn::accounts {
namespace {

using platform::RegValue;

std::string U8(TextView text) {
  return ToUtf8(text);
}

std::string Describe(const std::optional<RegValue>& value) {
  if (!value) return "(missing)";
  std::string out = "type " + std::to_string(value->type) + ":";
  for (const uint8_t byte : value->data) out += " " + std::to_string(byte);
  return out;
}

class UserEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::UserInfo info;
    info.name = u"anna";
    sid_ = m.AddAccount(info);
    ASSERT_TRUE(m.machine.files().MakeDirectories(u"C:\\P\\anna"));
    account_.Name = u"anna";
    account_.Profile = u"D:\\Users\\anna";
    account_.Home = u"D:\\Users\\anna\\home";
  }

  // Loads the hive file, runs `step` on its root and unloads it again.
  template <typename Step>
  void WithHive(Step step) {
    const auto sid = platform::Sid::FromText(sid_);
    ASSERT_TRUE(sid.has_value());
    const auto hive = LoadUserHive(m.services(), *sid, kHive);
    ASSERT_TRUE(hive.has_value());
    step(*hive);
    EXPECT_EQ(UnloadUserHive(m.services(), *sid, *hive), kErrorSuccess);
    ASSERT_FALSE(m.machine.registry().KeyExists(platform::kUsers, sid_));
  }

  // A value of the hive file's Environment key, read after a fresh load.
  std::optional<RegValue> Stored(TextView name) {
    std::optional<RegValue> value;
    WithHive([&](platform::RegKey) {
      value = m.machine.registry().Get(platform::kUsers, sid_ + u"\\Environment", name);
    });
    return value;
  }

  static constexpr char16_t kHive[] = u"C:\\P\\anna\\ntuser.dat";
  testing::AccountMachine m;
  UserAccount account_;
  Text sid_;
};

TEST_F(UserEnvironment, UserWhoNeverLoggedOnGetsTheVariablesInTheHiveFile) {
  // A hive just copied from the Default User, whose values the new
  // account's record never held.
  const RegValue temp =
      RegValue::FromText(u"%USERPROFILE%\\Local Settings\\Temp", platform::kRegExpandSz);
  m.WriteHive(kHive, {{u"Environment", u"TEMP", temp}});
  AddVariable(account_, u"PATHX", u"%ThisProfile%\\bin");
  AddVariable(account_, u"PLAIN", u"E:\\tools");
  WithHive([&](platform::RegKey root) {
    EXPECT_TRUE(WriteUserEnvironment(m.machine.registry(), root, account_));
  });
  EXPECT_EQ(Describe(Stored(u"PATHX")),
            Describe(RegValue::FromText(u"%USERPROFILE%\\bin", platform::kRegExpandSz)));
  EXPECT_EQ(Describe(Stored(u"PLAIN")),
            Describe(RegValue::FromText(u"E:\\tools", platform::kRegExpandSz)));
  EXPECT_EQ(Describe(Stored(u"TEMP")), Describe(temp));
}

TEST_F(UserEnvironment, NewAccountWithoutAnEnvironmentKeyGetsOne) {
  m.WriteHive(kHive, {{u"Software", u"Copied", RegValue::FromText(u"1")}});
  AddVariable(account_, u"ADDED", u"%ThisUser%");
  WithHive([&](platform::RegKey root) {
    EXPECT_TRUE(WriteUserEnvironment(m.machine.registry(), root, account_));
  });
  EXPECT_EQ(Describe(Stored(u"ADDED")),
            Describe(RegValue::FromText(u"%USERNAME%", platform::kRegExpandSz)));
}

TEST_F(UserEnvironment, ExistingKeyKeepsUntouchedValuesByteForByte) {
  RegValue binary;
  binary.type = platform::kRegBinary;
  binary.data = {0x41, 0x00, 0x00, 0x00, 0xFF, 0x7F, 0x01};
  // Data after the terminator is not part of the text the record holds.
  RegValue expandable = RegValue::FromText(u"%USERPROFILE%\\x;%TEMP%", platform::kRegExpandSz);
  expandable.data.push_back(0x5A);
  const RegValue longText = RegValue::FromText(Text(300, u'L'));
  const RegValue edited = RegValue::FromText(u"old");
  m.WriteHive(kHive, {{u"Environment", u"BIN", binary},
                      {u"Environment", u"Expand", expandable},
                      {u"Environment", u"LONG", longText},
                      {u"Environment", u"EDITED", edited},
                      {u"Environment", u"GONE", RegValue::FromText(u"bye")}});
  account_.Exists = 1;
  WithHive([&](platform::RegKey root) {
    ReadHiveVariables(m.machine.registry(), root, account_);
    ASSERT_EQ(account_.Environment.size(), 5u);
    for (auto it = account_.Environment.begin(); it != account_.Environment.end(); ++it) {
      if (EqualsIgnoreCase(it->name.view(), u"GONE")) {
        RemoveVariable(account_, &*it);
        break;
      }
    }
    for (UserVariable& variable : account_.Environment) {
      if (variable.name.view() == u"EDITED") variable.value = u"new";
    }
    AddVariable(account_, u"ADDED", u"%ThisHome%\\bin");
    EXPECT_TRUE(WriteUserEnvironment(m.machine.registry(), root, account_));
  });
  EXPECT_EQ(Describe(Stored(u"BIN")), Describe(binary));
  EXPECT_EQ(Describe(Stored(u"EXPAND")), Describe(expandable));
  EXPECT_EQ(Describe(Stored(u"LONG")), Describe(longText));
  EXPECT_EQ(Describe(Stored(u"EDITED")), Describe(RegValue::FromText(u"new")))
      << "a plain value stays plain";
  EXPECT_EQ(Describe(Stored(u"GONE")), "(missing)");
  EXPECT_EQ(Describe(Stored(u"ADDED")),
            Describe(RegValue::FromText(u"%HOMEDRIVE%%HOMEPATH%\\bin", platform::kRegExpandSz)));
}

TEST_F(UserEnvironment, ExistingAccountGivenOnlyInTheUsersFileKeepsItsOtherValues) {
  // The users file names the account and one variable; its hive was never read.
  m.WriteHive(kHive, {{u"Environment", u"KEEP", RegValue::FromText(u"mine")}});
  account_.Exists = 1;
  account_.DetailsLoaded = 1;
  AddVariable(account_, u"ADDED", u"E:\\tools");
  WithHive([&](platform::RegKey root) {
    EXPECT_TRUE(WriteUserEnvironment(m.machine.registry(), root, account_));
  });
  EXPECT_EQ(Describe(Stored(u"KEEP")), Describe(RegValue::FromText(u"mine")));
  EXPECT_NE(Describe(Stored(u"ADDED")), "(missing)");
}

TEST_F(UserEnvironment, MissingKeyThatCantBeCreatedFails) {
  auto root =
      m.machine.registry().OpenKey(platform::kLocalMachine, u"SOFTWARE", platform::kKeyRead);
  ASSERT_TRUE(root.ok());
  EXPECT_FALSE(WriteUserEnvironment(m.machine.registry(), *root, account_));
  m.machine.registry().CloseKey(*root);
}

TEST_F(UserEnvironment, ProcessGetsTheVariablesExpanded) {
  auto& environment = m.machine.environment();
  ASSERT_EQ(environment.Set(u"ThisProfile", TextView(u"D:\\Users\\anna")), kErrorSuccess);
  AddVariable(account_, u"TOOLS", u"first");
  AddVariable(account_, u"PATHX", u"%ThisProfile%\\bin;%UNSET%");
  AddVariable(account_, u"tools", u"second");
  EXPECT_TRUE(SetProcessVariables(environment, account_));
  EXPECT_EQ(U8(environment.Get(u"PATHX").value_or(u"(unset)")), "D:\\Users\\anna\\bin;%UNSET%");
  EXPECT_EQ(U8(environment.Get(u"TOOLS").value_or(u"(unset)")), "first")
      << "the entry nearer the tail is set last";
}

TEST(HiveVariableText, OnePassOverWholePathsAndComponents) {
  UserAccount account;
  account.Name = u"anna";
  account.Profile = u"D:\\Users\\anna";
  account.Home = u"D:\\Users\\anna\\home";
  struct Case {
    const char16_t* value;
    const char* stored;
  };
  const Case cases[] = {
      {u"%ThisProfile%\\bin", "%USERPROFILE%\\bin"},
      {u"%thishome%;%ThisUser%", "%HOMEDRIVE%%HOMEPATH%;%USERNAME%"},
      {u"d:\\users\\ANNA\\bin", "%USERPROFILE%\\bin"},
      {u"D:\\Users\\anna\\home\\bin", "%HOMEDRIVE%%HOMEPATH%\\bin"},
      {u"D:\\Users\\annabel;E:\\anna", "D:\\Users\\annabel;E:\\%USERNAME%"},
      {u"E:\\annals\\x", "E:\\annals\\x"},
      {u"%APPDATA%\\anna", "%APPDATA%\\%USERNAME%"},
      {u"%TEMP%", "%TEMP%"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(U8(HiveVariableText(c.value, account)), c.stored) << U8(c.value);
  }
}

TEST(HiveVariableText, InsertedTextIsNeverScannedAgain) {
  UserAccount account;
  // A name that the inserted variables contain must not be replaced in them.
  account.Name = u"USERNAME";
  account.Profile = u"C:\\P\\USERNAME";
  EXPECT_EQ(U8(HiveVariableText(u"%ThisUser%\\C:\\P\\USERNAME", account)),
            "%USERNAME%\\%USERPROFILE%");
}

TEST(HiveVariableText, ReplacementBeyondTheCapacityEndsTheReplacing) {
  UserAccount account;
  account.Name = u"anna";
  const Text tail(215, u'x');
  // The home placeholder would grow the text by 11 characters, to 261.
  const Text value = Text(u"%ThisProfile%\\") + tail + u"\\%ThisHome%%ThisUser%";
  const Text stored = HiveVariableText(value, account);
  EXPECT_EQ(U8(stored), U8(Text(u"%USERPROFILE%\\") + tail + u"\\%ThisHome%%ThisUser%"));
  EXPECT_LE(stored.size(), kVariableCapacity - 1);
}

}  // namespace
}  // namespace tarn::accounts
