#include "startup/account_steps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "app/app_context.h"
#include "startup/settings.h"
#include "startup/startup.h"
#include "unit/accounts/account_test_machine.h"

namespace tarn::startup {
namespace {

// Start-up with the account steps, looking at the account list when the
// wizard would open.
class WizardSnapshot : public NoWizardHost {
 public:
  explicit WizardSnapshot(AccountStartupSteps& steps) : steps_(steps) {}
  WizardOutcome RunWizard(AppContext& app) override {
    for (const accounts::UserAccount& account : steps_.store().list) {
      names += ToUtf8(account.Name) + (account.Primary ? "*" : "") +
               (account.SettingsAccount ? "!" : "") + " ";
    }
    setupVariable = ToUtf8(app.platform.environment->Get(u"SETUP").value_or(u"<unset>"));
    return WizardOutcome::kCancelled;
  }
  std::string names;
  std::string setupVariable;

 private:
  AccountStartupSteps& steps_;
};

TEST(AccountStartup, SectionsAreReadAndTheAccountsMerged) {
  accounts::testing::AccountMachine m;
  m.WriteIni(u"C:\\setup\\install.ini",
             "[environment]\nSETUP=%INIDIR%\\setup.exe\n"
             "[users]\nUser.0=anna\nUser.1=ben\nprimary=1\n");
  AppContext app(m.platform());
  AccountStartupSteps steps;
  WizardSnapshot wizard(steps);
  EXPECT_EQ(
      RunStartup(app, u"/ini=C:\\setup\\install.ini /admin=boss /adminpwd=x", {steps, wizard}), 0);
  EXPECT_EQ(wizard.names, "boss ben*! anna ");
  EXPECT_EQ(wizard.setupVariable, "C:\\setup\\setup.exe");
  EXPECT_TRUE(steps.store().list.empty()) << "released after the wizard";
}

TEST(AccountStartup, EncryptIniWarnsOfAPasswordItLeavesPlain) {
  accounts::testing::AccountMachine m;
  const std::string tooLong(100, 'z');
  m.WriteIni(u"C:\\setup\\install.ini", "[users]\nuser.0=anna\npassword.0=" + tooLong + "\n");
  {
    AppContext app(m.platform());
    AccountStartupSteps steps;
    NoWizardHost wizard;
    (void)RunStartup(app, u"/EncryptIni /ini=C:\\setup\\install.ini /log=C:\\setup\\tarn.log",
                     {steps, wizard});
  }
  auto log = m.machine.files().ReadAll(u"C:\\setup\\tarn.log");
  ASSERT_TRUE(log.ok());
  const Text text = TextFromUtf16Le(*log, /*stopAtZero=*/false);
  EXPECT_NE(text.find(u"Warning"), Text::npos) << ToUtf8(text);
  EXPECT_NE(text.find(u"'anna'"), Text::npos) << ToUtf8(text);
  EXPECT_EQ(text.find(FromUtf8(tooLong)), Text::npos) << "the password is never logged";
}

TEST(AccountStartup, EncryptIniScramblesTheSettingsPasswordsTooAndTheRunReadsThem) {
  accounts::testing::AccountMachine m;
  constexpr char16_t kIni[] = u"C:\\setup\\install.ini";
  m.WriteIni(kIni, "[settings]\nUserPwd=Us3r-pw\nAdminPwd=Adm1n-pw\n");
  const auto runWith = [&](TextView line) {
    AppContext app(m.platform());
    AccountStartupSteps steps;
    NoWizardHost wizard;
    (void)RunStartup(app, line, {steps, wizard});
  };
  const auto fileText = [&] {
    const auto bytes = m.machine.files().ReadAll(kIni);
    return bytes.ok() ? std::string(bytes->begin(), bytes->end()) : std::string("(unread)");
  };
  const auto settings = [&] {
    app::InstallConfig config;
    app::PageHeaders headers;
    ReadSettings(*m.platform().profiles, kIni, config, headers);
    return ToUtf8(config.UserPwd.view()) + " " + ToUtf8(config.AdminPwd.view());
  };

  runWith(u"/EncryptIni /ini=C:\\setup\\install.ini");
  EXPECT_EQ(fileText().find("pw"), std::string::npos) << fileText();
  EXPECT_NE(fileText().find("UserPwdCrypted="), std::string::npos) << fileText();
  EXPECT_EQ(settings(), "Us3r-pw Adm1n-pw");
  runWith(u"/DecryptIni /ini=C:\\setup\\install.ini");
  EXPECT_NE(fileText().find("UserPwd=Us3r-pw"), std::string::npos) << fileText();
  EXPECT_EQ(fileText().find("Crypted"), std::string::npos) << fileText();
}

}  // namespace
}  // namespace tarn::startup

namespace tarn::startup {
namespace {

bool HoldsText(const unsigned char* bytes, size_t size, TextView text) {
  const size_t length = text.size() * sizeof(char16_t);
  for (size_t i = 0; i + length <= size; ++i) {
    if (std::memcmp(bytes + i, text.data(), length) == 0) return true;
  }
  return false;
}

TEST(PasswordWiping, ReleasedRecordLeavesNoPasswordBehind) {
  // A short password lives inside the record itself, so its bytes can be
  // inspected after the record is destroyed in storage the test owns.
  alignas(accounts::UserAccount) unsigned char storage[sizeof(accounts::UserAccount)];
  auto* account = new (storage) accounts::UserAccount();
  account->Password = u"pw1234";
  ASSERT_TRUE(HoldsText(storage, sizeof storage, u"pw1234"));
  std::destroy_at(account);
  EXPECT_FALSE(HoldsText(storage, sizeof storage, u"pw1234"));
}

TEST(PasswordWiping, PasswordsNeverReachTheLog) {
  accounts::testing::AccountMachine m;
  m.WriteIni(u"C:\\setup\\install.ini",
             "[users]\nUser.0=anna\nPassword.0=Anna-Secret\nPassword=Default-Secret\nUser.1=ben\n");
  // A stopped Secondary Logon service makes sure the log gets a line.
  m.machine.services().SetServiceState(u"seclogon", sim::ServiceState::kStopped);
  {
    AppContext app(m.platform());
    AccountStartupSteps steps;
    NoWizardHost wizard;
    (void)RunStartup(
        app,
        u"/log=C:\\setup\\tarn.log /verbose=255 /ini=C:\\setup\\install.ini /adminpwd=Admin-Secret",
        {steps, wizard});
  }
  auto log = m.machine.files().ReadAll(u"C:\\setup\\tarn.log");
  ASSERT_TRUE(log.ok());
  ASSERT_FALSE(log->empty()) << "the log was written";
  for (const char16_t* secret : {u"Anna-Secret", u"Default-Secret", u"Admin-Secret"}) {
    EXPECT_FALSE(HoldsText(log->data(), log->size(), secret)) << ToUtf8(secret);
  }
}

TEST(AccountStartup, DowngradeMakesTheNamedAdministratorAUser) {
  accounts::testing::AccountMachine m;
  platform::UserInfo info;
  info.name = u"Jo Doe";
  info.privilege = platform::kUserPrivAdmin;
  const platform::Sid jo = m.machine.accounts().UserSid(m.machine.accounts().PutUser(info));
  ASSERT_EQ(m.machine.accounts().AddLocalGroupMember(u"", u"Administrators", jo), kErrorSuccess);
  AppContext app(m.platform());
  AccountStartupSteps steps;
  NoWizardHost wizard;
  EXPECT_EQ(RunStartup(app, u"/DownGrade=\"Jo Doe\"", {steps, wizard}), 0);
  EXPECT_EQ(m.machine.accounts().FindUser(u"Jo Doe")->info.privilege, platform::kUserPrivUser);
  const auto& users = m.machine.accounts().FindGroupByRid(sim::kRidUsers)->members;
  const auto& admins = m.machine.accounts().FindGroupByRid(sim::kRidAdministrators)->members;
  EXPECT_EQ(std::count(users.begin(), users.end(), jo), 1);
  EXPECT_EQ(std::count(admins.begin(), admins.end(), jo), 0);
}

}  // namespace
}  // namespace tarn::startup
