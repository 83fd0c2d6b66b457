#include "accounts/account_merging.h"

#include <gtest/gtest.h>

#include "accounts/account_records.h"
#include "unit/accounts/account_test_machine.h"

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
