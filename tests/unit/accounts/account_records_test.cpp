#include <gtest/gtest.h>

#include "account_test_machine.h"
#include "accounts/account_records.h"
#include "accounts/user_environment.h"

namespace tarn::accounts {
namespace {

using testing::AccountMachine;

std::string U8(TextView text) {
  return ToUtf8(text);
}

TEST(UserAccountList, NewRecordsGoToTheHead) {
  AccountMachine m;
  AccountStore store;
  for (const char16_t* name : {u"zero", u"one", u"two"})
    NewAccount(m.services(), store).Name = name;
  ASSERT_EQ(store.list.count(), 3u);
  EXPECT_EQ(U8(store.list.AccountAt(0)->Name), "two");
  EXPECT_EQ(U8(store.list.AccountAt(2)->Name), "zero");
  EXPECT_EQ(store.list.AccountAt(3), nullptr);
}

TEST(UserAccountList, LookupsFindTheFirstMatchIgnoringCase) {
  AccountStore store;
  UserAccount& older = store.list.AddBlank();
  older.Name = u"Anna";
  older.OldName = u"guest2";
  UserAccount& newer = store.list.AddBlank();
  newer.Name = u"ANNA";
  EXPECT_EQ(store.list.FindByName(u"anna"), &newer);
  EXPECT_EQ(store.list.FindByOldName(u"GUEST2"), &older);
  EXPECT_FALSE(store.list.HasName(u"ann"));
  EXPECT_EQ(store.list.FindPrimary(), nullptr);
  store.list.SetPrimary(older);
  store.list.SetPrimary(newer);
  EXPECT_EQ(older.Primary, 0);
  EXPECT_EQ(store.list.FindPrimary(), &newer);
}

TEST(UserAccountList, RemoveUnlinksOnlyThatRecord) {
  AccountStore store;
  UserAccount& a = store.list.AddBlank();
  a.Name = u"a";
  UserAccount& b = store.list.AddBlank();
  b.Name = u"b";
  store.list.RemoveAccount(&a);
  ASSERT_EQ(store.list.count(), 1u);
  EXPECT_EQ(U8(store.list.AccountAt(0)->Name), "b");
  store.list.RemoveAccountAt(5);
  EXPECT_EQ(store.list.count(), 1u);
  store.list.ClearAccounts();
  EXPECT_TRUE(store.list.empty());
}

TEST(NewAccount, TakesTheDefaultsAndThePlaceholderFormOfTheFolders) {
  AccountMachine m;
  AccountStore store;
  store.defaults.Status = 0x10200;
  store.defaults.Group = 1;
  store.defaults.Script = FixedText<260>(u"logon.cmd");
  store.defaults.ShellFolders[kFolderDesktop] = FixedText<260>(u"D:\\Desk\\%USERNAME%");
  const UserAccount& account = NewAccount(m.services(), store);
  EXPECT_EQ(account.Index, -1);
  EXPECT_EQ(account.Status, 0x10200u);
  EXPECT_EQ(account.Group, 1);
  EXPECT_EQ(U8(account.Script), "logon.cmd");
  EXPECT_TRUE(account.FullName.empty());
  EXPECT_EQ(account.HasRoamingProfile, 0);
  EXPECT_EQ(U8(account.ShellFolders[kFolderPersonal]), "%ThisProfile%\\My Documents");
  // A default from the environment section is taken unchanged.
  EXPECT_EQ(U8(account.ShellFolders[kFolderDesktop]), "D:\\Desk\\%USERNAME%");
  EXPECT_EQ(account.ShellFolderParent[kFolderStartup], static_cast<int32_t>(kFolderPrograms));
  EXPECT_EQ(account.ShellFolderParent[kFolderDesktop], 0);
}

TEST(NewAccount, FallsBackToTranslatedTextsWhenTheDefaultUserHasNoValue) {
  AccountMachine m;
  ASSERT_TRUE(m.machine.registry().Put(platform::kUsers, kDefaultUserShellFoldersKey, u"Recent",
                                       platform::RegValue::FromText(u"")));
  Text path = u"unchanged";
  EXPECT_TRUE(DefaultShellFolder(m.services(), 17, path));
  EXPECT_EQ(U8(path), "Text17");
}

TEST(ChildrenMasks, FollowWhetherTheChildLiesInsideItsParent) {
  AccountMachine m;
  AccountStore store;
  UserAccount& account = NewAccount(m.services(), store);
  const uint32_t musicBit = 1u << kFolderMyMusic;
  const uint32_t videoBit = 1u << kFolderMyVideo;
  EXPECT_EQ(account.ShellFolderChildren[kFolderPersonal] & (musicBit | videoBit),
            musicBit | videoBit);
  account.ShellFolders[kFolderMyMusic] = u"E:\\Music\\Mine";
  RecomputeChildrenMasks(account);
  EXPECT_EQ(account.ShellFolderChildren[kFolderPersonal] & musicBit, 0u);
  // A path without a backslash counts as inside.
  account.ShellFolders[kFolderMyMusic] = u"Music";
  RecomputeChildrenMasks(account);
  EXPECT_EQ(account.ShellFolderChildren[kFolderPersonal] & musicBit, musicBit);
  // The comparison ignores case and stops before the child's last backslash.
  account.ShellFolders[kFolderPersonal] = u"D:\\DOCS";
  account.ShellFolders[kFolderMyVideo] = u"d:\\docs\\Video";
  RecomputeChildrenMasks(account);
  EXPECT_EQ(account.ShellFolderChildren[kFolderPersonal] & videoBit, videoBit);
  // A parent shorter than the child's folder part is not a container.
  account.ShellFolders[kFolderPersonal] = u"D:";
  RecomputeChildrenMasks(account);
  EXPECT_EQ(account.ShellFolderChildren[kFolderPersonal] & videoBit, 0u);
}

TEST(CopyAccount, CopiesEveryFieldAndTheVariablesButNotTheListPosition) {
  AccountMachine m;
  AccountStore store;
  UserAccount& source = NewAccount(m.services(), store);
  source.Name = u"anna";
  source.Password = u"secret";
  source.PasswordGiven = 1;
  source.Index = 4;
  source.ShellFolders[3] = u"X:\\Docs";
  AddVariable(source, u"A", u"1");
  AddVariable(source, u"B", u"2");
  UserAccount& target = NewAccount(m.services(), store);
  AddVariable(target, u"OLD1", u"x");
  AddVariable(target, u"OLD2", u"y");
  AddVariable(target, u"OLD3", u"z");
  CopyAccount(target, source);
  EXPECT_EQ(U8(target.Name), "anna");
  EXPECT_EQ(U8(target.Password), "secret");
  EXPECT_EQ(target.Index, 4);
  EXPECT_EQ(U8(target.ShellFolders[3]), "X:\\Docs");
  ASSERT_EQ(target.Environment.size(), 2u);
  EXPECT_EQ(U8(target.Environment.front().name), "B");
  EXPECT_EQ(U8(target.Environment.back().value), "1");
  EXPECT_EQ(store.list.AccountAt(0), &target);
}

TEST(SyncVariables, AddsMissingSourceEntriesAtTheHead) {
  UserAccount source;
  UserAccount target;
  AddVariable(source, u"C", u"3");
  AddVariable(source, u"B", u"2");
  AddVariable(source, u"A", u"1");  // list: A B C
  AddVariable(target, u"X", u"9");
  SyncVariables(target, source);
  std::string order;
  for (const auto& v : target.Environment) order += U8(v.name);
  EXPECT_EQ(order, "CBA") << "X overwritten by A, then B and C added at the head";
}

TEST(Capacities, CutWithoutWritingBeyondAField) {
  UserAccount account;
  account.Name = Text(40, u'n');
  account.Domain = Text(30, u'd');
  account.Password = Text(300, u'p');
  account.Comment = Text(511, u'c');
  EXPECT_EQ(account.Name.size(), 20u);
  EXPECT_EQ(account.Domain.size(), 15u);
  EXPECT_EQ(account.Password.size(), 100u);
  EXPECT_EQ(account.Comment.size(), 200u);
  UserVariable& variable = AddVariable(account, Text(200, u'v'), Text(600, u'w'));
  EXPECT_EQ(variable.name.size(), 127u);
  EXPECT_EQ(variable.value.size(), 254u);
}

TEST(Status, MustChangeIsClearedWhenThePasswordNeverExpiresOrCantChange) {
  EXPECT_EQ(NormaliseStatus(0x810200), 0x10200u);
  EXPECT_EQ(NormaliseStatus(0x800240), 0x240u);
  EXPECT_EQ(NormaliseStatus(0x800200), 0x800200u);
}

}  // namespace
}  // namespace tarn::accounts
