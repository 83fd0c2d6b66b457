#include "accounts/account_startup_steps.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

#include "account_test_machine.h"
#include "accounts/account_records.h"
#include "startup/app_context.h"
#include "startup/startup.h"

namespace tarn::accounts {
namespace {

std::string U8(TextView text) {
  return ToUtf8(text);
}

class AdministratorMerge : public ::testing::Test {
 protected:
  testing::AccountMachine m;
  AccountStore store;
};

TEST_F(AdministratorMerge, BuiltinAdministratorIsFoundFromAnotherAccount) {
  platform::UserInfo anna;
  anna.name = u"anna";
  m.machine.accounts().PutUser(anna);
  m.machine.system().SetUserName(u"anna");
  EXPECT_EQ(U8(BuiltinAdministratorName(m.services())), "Administrator");
  m.machine.system().SetUserName(std::nullopt);
  EXPECT_EQ(U8(BuiltinAdministratorName(m.services())), "");
}

TEST_F(AdministratorMerge, TheRecordOfTheBuiltinNameStaysAndTheAdminRecordGoes) {
  UserAccount& byAdmin = NewAccount(m.services(), store);
  byAdmin.Name = u"boss";
  byAdmin.OldName = u"boss";
  UserAccount& byBuiltin = NewAccount(m.services(), store);
  byBuiltin.Name = u"root";
  byBuiltin.OldName = u"Administrator";
  byBuiltin.Comment = u"from the file";
  MergeAdministrator(m.services(), store, u"boss", std::nullopt);
  ASSERT_EQ(store.list.count(), 1u);
  const UserAccount& merged = *store.list.AccountAt(0);
  EXPECT_EQ(&merged, &byBuiltin);
  EXPECT_EQ(U8(merged.Name), "boss");
  EXPECT_EQ(U8(merged.OldName), "Administrator");
  EXPECT_EQ(U8(merged.Password), "*");
  EXPECT_EQ(merged.PasswordGiven, 0);
}

TEST_F(AdministratorMerge, AGivenPasswordSurvivesTheLookUp) {
  MergeAdministrator(m.services(), store, u"", std::optional<TextView>(u"n3w"));
  ASSERT_EQ(store.list.count(), 1u);
  const UserAccount& merged = *store.list.AccountAt(0);
  EXPECT_EQ(U8(merged.Name), "Administrator");
  EXPECT_EQ(merged.Exists, 1) << "details come from the existing account";
  EXPECT_EQ(merged.Group, kGroupAdministrators);
  EXPECT_EQ(U8(merged.Password), "n3w");
  EXPECT_EQ(merged.PasswordGiven, 1);
}

TEST_F(AdministratorMerge, AnEmptyGivenPasswordIsAPassword) {
  MergeAdministrator(m.services(), store, u"admin2", std::optional<TextView>(u""));
  const UserAccount& merged = *store.list.AccountAt(0);
  EXPECT_EQ(U8(merged.Name), "admin2");
  EXPECT_EQ(U8(merged.Password), "");
  EXPECT_EQ(merged.PasswordGiven, 1);
}

TEST_F(AdministratorMerge, SettingsAccountIsTheFirstPrimaryOrANewOne) {
  UserAccount& primary = NewAccount(m.services(), store);
  primary.Primary = 1;
  primary.Status = 0;
  MergeSettingsAccount(m.services(), store, false, u"Set up by TARN");
  EXPECT_EQ(store.list.count(), 1u);
  EXPECT_EQ(primary.SettingsAccount, 1);
  EXPECT_EQ(primary.Primary, 1);
  EXPECT_EQ(U8(primary.Comment), "Set up by TARN");
  EXPECT_EQ(primary.Status, kDefaultStatus);

  AccountStore other;
  MergeSettingsAccount(m.services(), other, true, u"unused");
  ASSERT_EQ(other.list.count(), 1u);
  const UserAccount& fresh = *other.list.AccountAt(0);
  EXPECT_EQ(fresh.SettingsAccount, 1);
  EXPECT_EQ(fresh.Primary, 0) << "UseCurrent: the settings account is not primary";
  EXPECT_TRUE(fresh.Comment.empty());
}

}  // namespace
}  // namespace tarn::accounts

namespace tarn::accounts {
namespace {

// Start-up with the account steps, looking at the account list when the
// wizard would open.
class WizardSnapshot : public AccountStartupSteps {
 public:
  int RunWizard(AppContext& app) override {
    for (const UserAccount& account : app.accounts.list) {
      names += U8(account.Name) + (account.Primary ? "*" : "") +
               (account.SettingsAccount ? "!" : "") + " ";
    }
    setupVariable = U8(app.platform.environment->Get(u"SETUP").value_or(u"<unset>"));
    return startup::kWizardCancelled;
  }
  std::string names;
  std::string setupVariable;
};

TEST(AccountStartup, SectionsAreReadAndTheAccountsMerged) {
  testing::AccountMachine m;
  m.WriteIni(u"C:\\setup\\install.ini",
             "[environment]\nSETUP=%INIDIR%\\setup.exe\n"
             "[users]\nUser.0=anna\nUser.1=ben\nprimary=1\n");
  AppContext app(m.platform());
  WizardSnapshot steps;
  EXPECT_EQ(startup::RunStartup(app, u"/ini=C:\\setup\\install.ini /admin=boss /adminpwd=x", steps),
            0);
  EXPECT_EQ(steps.names, "boss ben*! anna ");
  EXPECT_EQ(steps.setupVariable, "C:\\setup\\setup.exe");
  EXPECT_TRUE(app.accounts.list.empty()) << "released after the wizard";
}

}  // namespace
}  // namespace tarn::accounts

namespace tarn::accounts {
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
  alignas(UserAccount) unsigned char storage[sizeof(UserAccount)];
  auto* account = new (storage) UserAccount();
  account->Password = u"pw1234";
  ASSERT_TRUE(HoldsText(storage, sizeof storage, u"pw1234"));
  account->~UserAccount();
  EXPECT_FALSE(HoldsText(storage, sizeof storage, u"pw1234"));
}

TEST(PasswordWiping, PasswordsNeverReachTheLog) {
  testing::AccountMachine m;
  m.WriteIni(u"C:\\setup\\install.ini",
             "[users]\nUser.0=anna\nPassword.0=Anna-Secret\nPassword=Default-Secret\nUser.1=ben\n");
  // A stopped Secondary Logon service makes sure the log gets a line.
  m.machine.services().SetServiceState(u"seclogon", sim::ServiceState::kStopped);
  {
    AppContext app(m.platform());
    AccountStartupSteps steps;
    (void)startup::RunStartup(
        app,
        u"/log=C:\\setup\\tarn.log /verbose=255 /ini=C:\\setup\\install.ini /adminpwd=Admin-Secret",
        steps);
  }
  auto log = m.machine.files().ReadAll(u"C:\\setup\\tarn.log");
  ASSERT_TRUE(log.ok());
  ASSERT_FALSE(log->empty()) << "the log was written";
  for (const char16_t* secret : {u"Anna-Secret", u"Default-Secret", u"Admin-Secret"}) {
    EXPECT_FALSE(HoldsText(log->data(), log->size(), secret)) << ToUtf8(secret);
  }
}

}  // namespace
}  // namespace tarn::accounts
