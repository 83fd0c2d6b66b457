#include "accounts/users_section.h"

#include <gtest/gtest.h>

#include "account_test_machine.h"
#include "accounts/password_scrambling.h"
#include "platform/environment.h"

namespace tarn::accounts {
namespace {

constexpr char16_t kFile[] = u"C:\\setup\\install.ini";
constexpr size_t kFavorites = 9;

std::string U8(TextView text) {
  return ToUtf8(text);
}

class UsersSection : public ::testing::Test {
 protected:
  size_t Read(std::string_view ini) {
    m.WriteIni(kFile, ini);
    return ReadUsersSection(m.services(), kFile, &store);
  }
  // The record read from "User.<n>".
  UserAccount* Account(int32_t n) {
    for (auto& record : store.list) {
      if (record.Index == n) return &record;
    }
    return nullptr;
  }
  std::string Variable(TextView name) {
    return U8(m.platform().environment->Get(name).value_or(u"<unset>"));
  }

  // An existing account "guest2" with a profile whose hive holds private
  // variables and a redirected Personal folder.
  void AddExistingGuest2() {
    platform::UserInfo info;
    info.name = u"guest2";
    info.fullName = u"Guest Two";
    info.comment = u"from the machine";
    info.homeDir = u"H:\\guest2";
    info.scriptPath = u"machine.cmd";
    info.flags = 0x810200;
    info.privilege = platform::kUserPrivAdmin;
    const Text sid = m.AddAccount(info);
    const Text folder = u"C:\\Users\\guest2";
    ASSERT_TRUE(m.machine.files().MakeDirectories(folder));
    m.AddProfileListEntry(sid, u"%SystemDrive%\\Users\\guest2", u"", 0);
    ASSERT_EQ(m.machine.environment().Set(u"SystemDrive", u"C:"), kErrorSuccess);
    m.WriteHive(
        folder + u"\\ntuser.dat",
        {{u"Environment", u"TEMP",
          platform::RegValue::FromText(u"%USERPROFILE%\\Temp", platform::kRegExpandSz)},
         {Text(kUserShellFoldersKey), u"Personal",
          platform::RegValue::FromText(u"%USERPROFILE%\\Docs\\%USERNAME%", platform::kRegExpandSz)},
         // Outside its profile and home: not the program's to act on.
         {Text(kUserShellFoldersKey), u"Desktop",
          platform::RegValue::FromText(u"D:\\Desk", platform::kRegExpandSz)}});
  }

  testing::AccountMachine m;
  AccountStore store;
};

TEST_F(UsersSection, ThreeAccountsListNewestFirst) {
  EXPECT_EQ(Read("[users]\nUser.0=a\nUser.1=b\nUser.2=c\n"), 3u);
  std::string order;
  for (const auto& record : store.list) order += U8(record.Name);
  EXPECT_EQ(order, "cba");
  EXPECT_EQ(store.list.AccountAt(2)->Index, 0);
}

TEST_F(UsersSection, AGapEndsTheList) {
  EXPECT_EQ(Read("[users]\nUser.0=a\nUser.1=b\nUser.3=d\nFullName.3=ignored\n"), 2u);
  EXPECT_FALSE(store.list.HasName(u"d"));
}

TEST_F(UsersSection, NoStoreReadsNothing) {
  m.WriteIni(kFile, "[users]\nUser.0=a\n");
  EXPECT_EQ(ReadUsersSection(m.services(), kFile, nullptr), 0u);
}

struct PrimaryCase {
  const char* keys;
  int expectedPrimaryIndex;  // -1: none
};

class PrimarySelection : public UsersSection, public ::testing::WithParamInterface<PrimaryCase> {};

TEST_P(PrimarySelection, PrimaryWinsOverDefaultAndDeletedClearsIt) {
  Read(std::string("[users]\nUser.0=a\nUser.1=b\n") + GetParam().keys);
  const UserAccount* primary = store.list.FindPrimary();
  const int index = primary ? primary->Index : -1;
  EXPECT_EQ(index, GetParam().expectedPrimaryIndex) << GetParam().keys;
}

INSTANTIATE_TEST_SUITE_P(Keys, PrimarySelection,
                         ::testing::Values(PrimaryCase{"primary=1\ndefault=0\n", 1},
                                           PrimaryCase{"default=0\n", 0}, PrimaryCase{"", -1},
                                           PrimaryCase{"primary=1\ndeleted.1=1\n", -1},
                                           PrimaryCase{"primary=7\n", -1}));

TEST_F(UsersSection, DeletedOnlyForExactlyOne) {
  Read("[users]\nUser.0=a\ndeleted.0=2\nUser.1=b\ndeleted.1=1\n");
  EXPECT_EQ(Account(0)->Deleted, 0);
  EXPECT_EQ(Account(1)->Deleted, 1);
}

TEST_F(UsersSection, StatusIsNormalised) {
  Read("[users]\nUser.0=a\nStatus.0=8454656\nUser.1=b\nStatus.1=8389184\nUser.2=c\n");
  EXPECT_EQ(Account(0)->Status, 66048u);
  EXPECT_EQ(Account(1)->Status, 576u);
  EXPECT_EQ(Account(2)->Status, kDefaultStatus);
}

TEST_F(UsersSection, DefaultsApplyToNewAccountsOnly) {
  Read(
      "[users]\nHome=\\\\srv\\home\nFullName=Somebody\nPassword=pw\nGroup=1\nShowOnWelcome=0\n"
      "RoamingProfile=\\\\srv\\profiles\nUser.0=a\nFullName.0=Anna\nUser.1=b\nPassword.1=own\n");
  const UserAccount* a = Account(0);
  EXPECT_EQ(U8(a->FullName), "Anna");
  EXPECT_EQ(U8(a->Home), "\\\\srv\\home");
  EXPECT_EQ(U8(a->Password), "pw");
  EXPECT_EQ(a->PasswordGiven, 1);
  EXPECT_EQ(a->Group, 1);
  EXPECT_EQ(a->ShowOnWelcome, 0);
  EXPECT_EQ(a->HasRoamingProfile, 1);
  EXPECT_EQ(a->Exists, 0);
  EXPECT_EQ(a->DetailsLoaded, 1);
  EXPECT_EQ(U8(Account(1)->Password), "own");
  EXPECT_EQ(Variable(u"Home"), "\\\\srv\\home");
  EXPECT_EQ(Variable(u"ThisUser"), "b") << "the variables hold the last account read";
}

TEST_F(UsersSection, StarPasswordIsNotGiven) {
  Read("[users]\nUser.0=a\nPassword.0=*\n");
  EXPECT_EQ(Account(0)->PasswordGiven, 0);
}

TEST_F(UsersSection, ExistingAccountIsFilledFromTheMachine) {
  AddExistingGuest2();
  Read("[users]\nScript=default.cmd\nFullName=not for existing\nUser.0=anna\nOldName.0=guest2\n");
  const UserAccount* anna = Account(0);
  ASSERT_NE(anna, nullptr);
  EXPECT_EQ(U8(anna->Name), "anna");
  EXPECT_EQ(U8(anna->OldName), "guest2");
  EXPECT_EQ(anna->Exists, 1);
  EXPECT_EQ(U8(anna->Password), "*");
  EXPECT_EQ(anna->PasswordGiven, 0);
  EXPECT_EQ(U8(anna->FullName), "Guest Two");
  EXPECT_EQ(U8(anna->Comment), "from the machine");
  EXPECT_EQ(U8(anna->Home), "H:\\guest2");
  EXPECT_EQ(U8(anna->Script), "default.cmd") << "the Script default replaces the machine's";
  EXPECT_EQ(anna->Status, 0x10200u) << "the machine's flags, normalised";
  EXPECT_EQ(anna->Group, kGroupAdministrators);
  EXPECT_EQ(U8(anna->Profile), "C:\\Users\\guest2");
  EXPECT_EQ(U8(anna->ShellFolders[kFolderPersonal]), "%ThisProfile%\\Docs\\%ThisUser%");
  EXPECT_EQ(U8(anna->ShellFolders[kFolderDesktop]), "");
  ASSERT_EQ(anna->Environment.size(), 1u);
  EXPECT_EQ(U8(anna->Environment.front().value), "%ThisProfile%\\Temp");
  EXPECT_EQ(anna->ShellFolderChildren[kFolderPersonal] & (1u << kFolderMyMusic), 0u)
      << "My Music no longer lies in the moved Personal folder";
  EXPECT_FALSE(m.machine.registry().KeyExists(
      platform::kUsers,
      m.machine.accounts().UserSid(m.machine.accounts().FindUser(u"guest2")->rid).ToText()))
      << "the hive is unloaded again";
}

TEST_F(UsersSection, NewAccountKeepsItsSectionVariables) {
  Read("[users]\nUser.0=a\n[environment.0]\nPATHX=first\npathx=second\nNOVALUE\n");
  const UserAccount* a = Account(0);
  ASSERT_EQ(a->Environment.size(), 1u);
  EXPECT_EQ(U8(a->Environment.front().value), "first");
}

TEST_F(UsersSection, ShellFolderKeysAndEnvironmentDefaults) {
  store.defaults.ShellFolders[kFavorites] = FixedText<260>(u"E:\\Fav\\%USERNAME%");
  Read("[users]\nUser.0=a\nPersonal.0=F:\\Mine\nStart Menu.0=G:\\Menu\n");
  const UserAccount* a = Account(0);
  EXPECT_EQ(U8(a->ShellFolders[kFolderPersonal]), "F:\\Mine");
  EXPECT_EQ(U8(a->ShellFolders[kFolderStartMenu]), "G:\\Menu");
  EXPECT_EQ(U8(a->ShellFolders[kFavorites]), "E:\\Fav\\%USERNAME%");
  EXPECT_EQ(U8(a->ShellFolders[kFolderCache]),
            "%ThisProfile%\\Local Settings\\Temporary Internet Files");
}

TEST_F(UsersSection, ScrambledPasswordIsUnscrambledAndABadOneTakesTheDefault) {
  m.WriteIni(kFile, "[users]\nPassword=fallback\nUser.0=a\nUser.1=b\n");
  platform::ProfileFiles& profiles = *m.platform().profiles;
  ASSERT_EQ(profiles.WriteStruct(kFile, u"users", u"Password.0", ScramblePassword(u"s3cret")),
            kErrorSuccess);
  ASSERT_EQ(profiles.WriteString(kFile, u"users", u"crypted.0", u"14"), kErrorSuccess);
  ASSERT_EQ(profiles.WriteString(kFile, u"users", u"Password.1", u"0011"), kErrorSuccess);
  ASSERT_EQ(profiles.WriteString(kFile, u"users", u"crypted.1", u"2"), kErrorSuccess);
  ReadUsersSection(m.services(), kFile, &store);
  EXPECT_EQ(U8(Account(0)->Password), "s3cret");
  EXPECT_EQ(U8(Account(1)->Password), "fallback");
}

TEST_F(UsersSection, LongValuesAreCutToTheirFields) {
  Read("[users]\nUser.0=" + std::string(30, 'n') + "\nComment.0=" + std::string(500, 'c') +
       "\nPassword.0=" + std::string(300, 'p') + "\nDomain.0=" + std::string(40, 'd') + "\n");
  const UserAccount* a = Account(0);
  EXPECT_EQ(a->Name.size(), 20u);
  EXPECT_EQ(a->OldName.size(), 20u);
  EXPECT_EQ(a->Comment.size(), 200u);
  EXPECT_EQ(a->Password.size(), 100u);
  EXPECT_EQ(a->Domain.size(), 15u);
}

TEST_F(UsersSection, ResetRestoresTheDefaultsAndEmptiesTheList) {
  Read("[users]\nStatus=512\nGroup=1\nScript=x.cmd\nUser.0=a\n");
  store.defaults.ShellFolders[0] = FixedText<260>(u"M:\\");
  ResetUsers(store);
  EXPECT_TRUE(store.list.empty());
  EXPECT_EQ(store.defaults.Status, kDefaultStatus);
  EXPECT_EQ(store.defaults.Group, 0);
  EXPECT_FALSE(store.defaults.Script.has_value());
  EXPECT_TRUE(store.defaults.ShellFolders[0].has_value()) << "folder defaults stay";
}

}  // namespace
}  // namespace tarn::accounts
