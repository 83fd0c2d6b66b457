#include "accounts/account_profiles.h"

#include <gtest/gtest.h>

#include "account_test_machine.h"
#include "accounts/account_lookup.h"
#include "accounts/account_records.h"
#include "accounts/user_environment.h"
#include "platform/services.h"

namespace tarn::accounts {
namespace {

std::string U8(TextView text) {
  return ToUtf8(text);
}

class Profiles : public ::testing::Test {
 protected:
  std::optional<ProfileRecord> Profile(TextView name) {
    return FindProfile(m.services(), name, ResolveAccountSid(m.services(), u"", name));
  }
  Text AddUser(TextView name) {
    platform::UserInfo info;
    info.name = Text(name);
    return m.AddAccount(info);
  }
  testing::AccountMachine m;
};

TEST_F(Profiles, AccountNamedLikeTheComputerResolvesToTheAccount) {
  const Text sid = AddUser(u"TARN-PC");
  ASSERT_EQ(U8(m.machine.accounts().ComputerName()), "TARN-PC");
  const auto resolved = ResolveAccountSid(m.services(), u"", u"tarn-pc");
  ASSERT_TRUE(resolved.has_value());
  EXPECT_EQ(resolved->ToText(), sid);
  EXPECT_FALSE(ResolveAccountSid(m.services(), u"", u"nobody").has_value());
}

TEST_F(Profiles, EntryWithoutCentralProfileHasNoRoamingPath) {
  const Text sid = AddUser(u"anna");
  m.AddProfileListEntry(sid, u"C:\\Users\\anna", u"", std::nullopt);
  const auto profile = Profile(u"ANNA");
  ASSERT_TRUE(profile.has_value());
  EXPECT_EQ(U8(profile->localPath), "C:\\Users\\anna");
  EXPECT_EQ(U8(profile->roamingPath), "");
  EXPECT_EQ(profile->preference, 0u);
  m.AddProfileListEntry(sid, u"C:\\P\\anna", u"\\\\srv\\roam\\anna", 1);
  const auto roaming = Profile(u"anna");
  ASSERT_TRUE(roaming.has_value());
  EXPECT_EQ(U8(roaming->roamingPath), "\\\\srv\\roam\\anna");
  EXPECT_EQ(roaming->preference, 1u);
}

TEST_F(Profiles, AccountWithoutEntryHasNoProfile) {
  AddUser(u"ben");
  EXPECT_FALSE(Profile(u"ben").has_value());
  EXPECT_FALSE(Profile(u"nobody").has_value());
}

TEST_F(Profiles, SystemUsesTheDefaultUserProfile) {
  const auto profile = Profile(u"System");
  ASSERT_TRUE(profile.has_value());
  EXPECT_EQ(U8(profile->localPath), "C:\\Users\\Default");
}

TEST_F(Profiles, HiveFileIsAppendedUnlessAlreadyNamed) {
  EXPECT_EQ(U8(HiveFilePath(m.services(), u"C:\\P\\anna")), "C:\\P\\anna\\ntuser.dat");
  EXPECT_EQ(U8(HiveFilePath(m.services(), u"C:\\P\\anna\\")), "C:\\P\\anna\\ntuser.dat");
  EXPECT_EQ(U8(HiveFilePath(m.services(), u"C:\\P\\anna\\ntuser.dat")), "C:\\P\\anna\\ntuser.dat");
  EXPECT_EQ(U8(HiveFilePath(m.services(), u"C:\\P\\NTUSER.DAT")), "C:\\P\\NTUSER.DAT")
      << "file names ignore case";
}

TEST_F(Profiles, HiveLoadsFromAFileNamedDirectlyAndUnloads) {
  const Text sid = AddUser(u"anna");
  ASSERT_TRUE(m.machine.files().MakeDirectories(u"C:\\P"));
  m.WriteHive(u"C:\\P\\ntuser.dat", {{u"Environment", u"X", platform::RegValue::FromText(u"1")}});
  const auto annaSid = platform::Sid::FromText(sid);
  ASSERT_TRUE(annaSid.has_value());
  // Nothing the program enabled earlier: the load enables what it needs.
  ASSERT_EQ(m.machine.services().DisablePrivileges(platform::HiveLoadingPrivileges()),
            kErrorSuccess);
  const auto hive = LoadUserHive(m.services(), *annaSid, u"C:\\P\\ntuser.dat");
  ASSERT_TRUE(hive.has_value());
  EXPECT_TRUE(m.machine.registry().KeyExists(platform::kUsers, sid + u"\\Environment"));
  // Enabled for the load alone, which cannot be made without them.
  EXPECT_FALSE(m.machine.services().IsPrivilegeEnabled(u"SeBackupPrivilege"));
  EXPECT_FALSE(m.machine.services().IsPrivilegeEnabled(u"SeRestorePrivilege"));
  EXPECT_EQ(UnloadUserHive(m.services(), *annaSid, *hive), kErrorSuccess);
  EXPECT_FALSE(m.machine.registry().KeyExists(platform::kUsers, sid));
  EXPECT_FALSE(m.machine.services().IsPrivilegeEnabled(u"SeRestorePrivilege"));
  EXPECT_FALSE(LoadUserHive(m.services(), *annaSid, u"").has_value());
}

TEST_F(Profiles, LookUpWithoutAHiveTakesTheBuiltinFolders) {
  const Text sid = AddUser(u"anna");
  m.AddProfileListEntry(sid, u"C:\\P\\anna", u"", std::nullopt);
  AccountStore store;
  UserAccount& account = NewAccount(m.services(), store);
  account.OldName = u"anna";
  account.Name = u"anna";
  account.ShellFolders[kFolderDesktop] = u"X:\\old";
  AddVariable(account, u"OLD", u"gone");
  ASSERT_TRUE(LookUpAccount(m.services(), account));
  EXPECT_EQ(U8(account.Profile), "C:\\P\\anna");
  EXPECT_EQ(U8(account.ShellFolders[kFolderDesktop]), "%ThisProfile%\\Desktop");
  EXPECT_TRUE(account.Environment.empty());
  EXPECT_EQ(account.ShowOnWelcome, kWelcomeUnchanged);
}

TEST_F(Profiles, LookUpOfAMissingAccountLeavesTheRecord) {
  AccountStore store;
  UserAccount& account = NewAccount(m.services(), store);
  account.OldName = u"nobody";
  account.Password = u"keep";
  EXPECT_FALSE(LookUpAccount(m.services(), account));
  EXPECT_EQ(U8(account.Password), "keep");
  EXPECT_EQ(account.Exists, 0);
}

}  // namespace
}  // namespace tarn::accounts
