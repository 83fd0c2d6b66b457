#include "accounts/account_startup_steps.h"

#include <gtest/gtest.h>

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
