#include "run/installation_variables.h"

#include <gtest/gtest.h>

#include "accounts/account_records.h"
#include "accounts/user_environment.h"
#include "run/run_environment.h"
#include "support/pe_image_builder.h"
#include "support/text_helpers.h"
#include "unit/accounts/account_test_machine.h"

namespace tarn::run {
namespace {

using tarn::testing::T;

constexpr char16_t kIni[] = u"C:\\setup\\install.ini";

class InstallationVariables : public ::testing::Test {
 protected:
  VariableContext Context() { return VariableContext{m.services(), &config, &store.defaults}; }
  std::string Variable(TextView name) {
    return ToUtf8(m.machine.environment().Get(name).value_or(u"<unset>"));
  }
  void Set(TextView name, TextView value) {
    ASSERT_EQ(m.machine.environment().Set(name, value), kErrorSuccess);
  }
  void Load(std::string_view ini) {
    m.WriteIni(kIni, ini);
    LoadEnvironmentSection(Context(), kIni);
  }

  accounts::testing::AccountMachine m;
  app::InstallConfig config;
  accounts::AccountStore store;
};

TEST_F(InstallationVariables, LinesApplyInFileOrder) {
  Set(u"INIDIR", u"C:\\setup");
  Load("[environment]\nTOOLS=%INIDIR%\\tools\nSETUP=%TOOLS%\\setup.exe\nNOEQUALS\nEMPTY=\n");
  EXPECT_EQ(Variable(u"SETUP"), "C:\\setup\\tools\\setup.exe");
  EXPECT_EQ(Variable(u"NOEQUALS"), "<unset>");
}

TEST_F(InstallationVariables, AccountVariablesAreRemovedFirst) {
  for (const char16_t* name : {u"ThisUser", u"ThisProfile", u"ThisHome", u"USERNAME",
                               u"USERPROFILE", u"HOMEDRIVE", u"HOMEPATH"}) {
    Set(name, u"old");
  }
  Set(u"USERDOMAIN", u"kept");
  Load("[environment]\n");
  EXPECT_EQ(Variable(u"USERNAME"), "<unset>");
  EXPECT_EQ(Variable(u"HOMEPATH"), "<unset>");
  EXPECT_EQ(Variable(u"USERDOMAIN"), "kept");
}

TEST_F(InstallationVariables, ShellFolderLinesBecomeDefaultsForNewAccounts) {
  Set(u"DATA", u"D:");
  Load("[environment]\ndesktop=%DATA%\\Desk\nPersonal=E:\\Docs\nPersonal=F:\\Docs\n");
  EXPECT_EQ(Variable(u"Desktop"), "<unset>");
  ASSERT_TRUE(store.defaults.ShellFolders[accounts::kFolderDesktop].has_value());
  EXPECT_EQ(ToUtf8(*store.defaults.ShellFolders[accounts::kFolderDesktop]), "D:\\Desk");
  EXPECT_EQ(ToUtf8(*store.defaults.ShellFolders[accounts::kFolderPersonal]), "F:\\Docs")
      << "a later line replaces an earlier one";
  const accounts::UserAccount& fresh = accounts::NewAccount(m.services(), store);
  EXPECT_EQ(ToUtf8(fresh.ShellFolders[accounts::kFolderDesktop]), "D:\\Desk");
}

TEST_F(InstallationVariables, RegistryValuesAreReadUnexpanded) {
  auto& registry = m.machine.registry();
  ASSERT_TRUE(registry.Put(platform::kLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion",
                           u"ProgramFilesDir",
                           platform::RegValue::FromText(u"%SystemDrive%\\Program Files")));
  ASSERT_TRUE(registry.Put(platform::kCurrentUser, u"Software\\Tarn\\Sub", u"Value",
                           platform::RegValue::FromText(u"user value")));
  Set(u"PF", u"before");
  Load(
      "[environment]\nPF=HKLM:SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\ProgramFilesDir\n"
      "CU=hkcu:Software\\Tarn\\Sub:Value\nNOVALUE=HKLM:SOFTWARE\\Microsoft\\Missing\n"
      "NOKEY=HKLM:SOFTWARE\\NoSuchKey\\Sub\\Value\n");
  EXPECT_EQ(Variable(u"PF"), "%SystemDrive%\\Program Files");
  EXPECT_EQ(Variable(u"CU"), "user value");
  EXPECT_EQ(Variable(u"NOVALUE"), "") << "an open key with a missing value gives empty text";
  EXPECT_EQ(Variable(u"NOKEY"), "<unset>");
}

TEST_F(InstallationVariables, VersionLookupsReadTheFilesResource) {
  ASSERT_TRUE(m.machine.files().MakeDirectories(u"C:\\App"));
  ASSERT_TRUE(m.machine.files().PutFile(
      u"C:\\App\\app.exe", tarn::testing::BuildPeImage(tarn::testing::BuildVersionBlock(
                               tarn::testing::SampleVersionSpec()))));
  Set(u"APPDIR", u"C:\\App");
  Load(
      "[environment]\nFV=%APPDIR%\\app.exe?fileversion\nV=C:\\App\\app.exe?version\n"
      "PV=C:\\App\\app.exe?productversion and more\nCO=C:\\App\\app.exe?version.CompanyName\n");
  EXPECT_EQ(Variable(u"FV"), "1.2.3.4");
  EXPECT_EQ(Variable(u"V"), "5.6.7.8");
  EXPECT_EQ(Variable(u"PV"), "5.6.7.8") << "text after the marker is ignored";
  EXPECT_EQ(Variable(u"CO"), "Example Ltd");
}

TEST_F(InstallationVariables, FailedVersionLookupGivesEmptyText) {
  Load(
      "[environment]\nVER=C:\\missing.dll?fileversion\nNAME=C:\\missing.dll?version.CompanyName\n");
  EXPECT_EQ(Variable(u"VER"), "");
  EXPECT_EQ(Variable(u"NAME"), "");
}

struct HomeCase {
  const char* home;
  const char* drive;
  const char* path;
};

class HomeSplitTest : public ::testing::TestWithParam<HomeCase> {};

TEST_P(HomeSplitTest, SplitsByPosition) {
  const HomeSplit split = SplitHome(T(GetParam().home));
  EXPECT_EQ(ToUtf8(split.drive), GetParam().drive);
  EXPECT_EQ(ToUtf8(split.path), GetParam().path);
}

INSTANTIATE_TEST_SUITE_P(Homes, HomeSplitTest,
                         ::testing::Values(HomeCase{"D:\\Users\\Ann", "D:", "\\Users\\Ann"},
                                           HomeCase{"\\\\srv\\home", "\\\\", "srv\\home"},
                                           HomeCase{"D", "D", ""}, HomeCase{"", "", ""}));

TEST_F(InstallationVariables, AccountVariablesFromARecord) {
  config.Computer = u"NEWPC";
  config.Workgroup = u"TEAM";
  config.Owner = u"Owner";
  config.Org = u"Org";
  accounts::UserAccount& account = accounts::NewAccount(m.services(), store);
  account.Name = u"anna";
  account.Home = u"D:\\Users\\anna";
  account.Profile = u"C:\\Profiles\\anna";
  account.Password = u"pw";
  account.PasswordGiven = 1;
  account.ShellFolders[accounts::kFolderDesktop] = u"%ThisProfile%\\Desktop";
  accounts::AddVariable(account, u"TOOLS", u"%ThisHome%\\tools");
  Set(u"USERDOMAIN", u"OLD");
  Set(u"USERPASSWORD", u"of an earlier account");
  EXPECT_TRUE(SetAccountVariables(Context(), account, false));
  EXPECT_EQ(Variable(u"HOMEDRIVE"), "D:");
  EXPECT_EQ(Variable(u"HOMEPATH"), "\\Users\\anna");
  EXPECT_EQ(Variable(u"USERPROFILE"), "C:\\Profiles\\anna");
  // Only a command started as the account gets its password.
  EXPECT_EQ(Variable(u"USERPASSWORD"), "<unset>");
  EXPECT_EQ(Variable(u"USERDOMAIN"), "NEWPC");
  EXPECT_EQ(Variable(u"COMPUTERNAME"), "NEWPC");
  EXPECT_EQ(Variable(u"TOOLS"), "D:\\Users\\anna\\tools");
  EXPECT_EQ(Variable(u"Desktop"), "C:\\Profiles\\anna\\Desktop");
  EXPECT_EQ(Variable(u"WorkGroupName"), "TEAM");
  EXPECT_EQ(Variable(u"OwnerName"), "Owner");
}

TEST_F(InstallationVariables, NameOnlyLeavesHomeAndProfileAndEmptyFieldsRemoveThem) {
  Set(u"ThisHome", u"X:\\old");
  accounts::UserAccount& account = accounts::NewAccount(m.services(), store);
  account.Name = u"ben";
  account.Home = u"D:\\ben";
  SetAccountVariables(Context(), account, true);
  EXPECT_EQ(Variable(u"ThisHome"), "X:\\old");
  EXPECT_EQ(Variable(u"ThisUser"), "ben");
  account.Home = u"";
  SetAccountVariables(Context(), account, true);
  EXPECT_EQ(Variable(u"ThisHome"), "<unset>");
  EXPECT_EQ(Variable(u"USERPASSWORD"), "<unset>");
}

TEST_F(InstallationVariables, IdentityIsFilledFromTheSystemWhenEmpty) {
  ASSERT_TRUE(m.machine.registry().Put(
      platform::kLocalMachine, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
      u"RegisteredOwner", platform::RegValue::FromText(u"Reg Owner")));
  m.machine.accounts().SetJoinInformation(
      platform::JoinInformation{u"HOMENET", platform::kNetSetupWorkgroupName});
  config.Org = u"Given Org";
  SetIdentityVariables(Context());
  EXPECT_EQ(ToUtf8(config.Workgroup), "HOMENET");
  EXPECT_EQ(Variable(u"WorkGroupName"), "HOMENET");
  EXPECT_EQ(ToUtf8(config.Owner), "Reg Owner");
  EXPECT_EQ(Variable(u"OrgName"), "Given Org");
}

TEST_F(InstallationVariables, SystemAccountUsesTheDefaultUserProfile) {
  m.machine.system().SetUserName(u"SYSTEM");
  SetLoggedOnUserVariables(Context());
  EXPECT_EQ(Variable(u"USERNAME"), "SYSTEM");
  EXPECT_EQ(Variable(u"ThisProfile"), "C:\\Users\\Default");
  EXPECT_EQ(Variable(u"Desktop"), "C:\\Users\\Default\\Desktop");
}

TEST_F(InstallationVariables, LoggedOnUserTakesHomeRegistryEnvironmentAndFolders) {
  platform::UserInfo info;
  info.name = u"Administrator";
  info.homeDir = u"H:\\admin";
  info.privilege = platform::kUserPrivAdmin;
  m.machine.accounts().PutUser(info);
  auto& registry = m.machine.registry();
  ASSERT_TRUE(
      registry.Put(platform::kCurrentUser, u"Environment", u"TEMP",
                   platform::RegValue::FromText(u"%USERPROFILE%\\Temp", platform::kRegExpandSz)));
  ASSERT_TRUE(registry.Put(platform::kCurrentUser, accounts::kUserShellFoldersKey, u"Personal",
                           platform::RegValue::FromText(u"E:\\%USERNAME%\\Docs")));
  SetLoggedOnUserVariables(Context());
  EXPECT_EQ(Variable(u"HOMEDRIVE"), "H:");
  EXPECT_EQ(Variable(u"HOMEPATH"), "\\admin");
  EXPECT_EQ(Variable(u"TEMP"), "C:\\Users\\Administrator\\Temp");
  EXPECT_EQ(Variable(u"Personal"), "E:\\Administrator\\Docs");
  EXPECT_EQ(Variable(u"Start Menu"), "C:\\Users\\Administrator\\Start Menu");
}

TEST_F(InstallationVariables, UserPathIsAppendedToTheMachinesAndOtherValuesReplace) {
  Set(u"PATH", u"C:\\WINDOWS\\system32;C:\\WINDOWS");
  Set(u"TEMP", u"C:\\WINDOWS\\Temp");
  auto& registry = m.machine.registry();
  ASSERT_TRUE(
      registry.Put(platform::kCurrentUser, u"Environment", u"Path",
                   platform::RegValue::FromText(u"%USERPROFILE%\\bin", platform::kRegExpandSz)));
  ASSERT_TRUE(registry.Put(platform::kCurrentUser, u"Environment", u"TEMP",
                           platform::RegValue::FromText(u"D:\\Temp")));
  SetLoggedOnUserVariables(Context());
  const std::string joined = "C:\\WINDOWS\\system32;C:\\WINDOWS;C:\\Users\\Administrator\\bin";
  EXPECT_EQ(Variable(u"PATH"), joined);
  EXPECT_EQ(Variable(u"TEMP"), "D:\\Temp");
  // The page sets the variables each time it is shown.
  SetLoggedOnUserVariables(Context());
  EXPECT_EQ(Variable(u"PATH"), joined);
}

TEST_F(InstallationVariables, UserValueTooLargeForItsBufferIsSkipped) {
  Set(u"TEMP", u"C:\\WINDOWS\\Temp");
  auto& registry = m.machine.registry();
  // 256 characters and the terminator: 514 bytes.
  ASSERT_TRUE(registry.Put(platform::kCurrentUser, u"Environment", u"TEMP",
                           platform::RegValue::FromText(Text(256, u'x'))));
  ASSERT_TRUE(registry.Put(platform::kCurrentUser, u"Environment", u"TMP",
                           platform::RegValue::FromText(u"D:\\Tmp")));
  SetLoggedOnUserVariables(Context());
  EXPECT_EQ(Variable(u"TEMP"), "C:\\WINDOWS\\Temp");
  EXPECT_EQ(Variable(u"TMP"), "D:\\Tmp") << "the values after it are still read";
}

TEST_F(InstallationVariables, RunEnvironmentSwapsABlockAndRestoresIt) {
  Set(u"OUTSIDE", u"1");
  // Only the block is to bring it, and only for the run.
  ASSERT_EQ(m.machine.environment().Set(u"SystemRoot", std::nullopt), kErrorSuccess);
  accounts::UserAccount& account = accounts::NewAccount(m.services(), store);
  account.Name = u"anna";
  {
    RunEnvironment run(Context());
    EXPECT_TRUE(run.Enter(account));
    EXPECT_EQ(Variable(u"USERNAME"), "anna");
    EXPECT_EQ(Variable(u"OUTSIDE"), "1") << "the block inherits the process's variables";
    EXPECT_EQ(Variable(u"SystemRoot"), "C:\\Windows") << "and holds the system's";
    run.Leave();
    EXPECT_FALSE(run.active());
  }
  EXPECT_EQ(Variable(u"USERNAME"), "<unset>");
  EXPECT_EQ(Variable(u"SystemRoot"), "<unset>");
  EXPECT_EQ(Variable(u"OUTSIDE"), "1");
}

}  // namespace
}  // namespace tarn::run
