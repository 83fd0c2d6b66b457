// Placing an account's shell folders on the simulated machine: drives that
// are missing or unformatted, moved and copied folders, and the paths the
// account's hive receives.
#include "accounts/shell_folders.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "accounts/shell_folder_table.h"
#include "support/scripted_prompter.h"
#include "unit/accounts/account_test_machine.h"

namespace tarn::accounts {
namespace {

using app::VolumeAnswer;
using app::VolumeProblem;
using app::VolumeReply;

struct RegistryFormCase {
  const char16_t* path;
  const char16_t* profile;
  const char16_t* home;
  const char16_t* name;
  const char16_t* expected;
};

TEST(ShellFolderRegistryForm, ReplacesWholeComponentsInOnePass) {
  const RegistryFormCase cases[] = {
      // The name is part of the profile: the inserted %USERPROFILE% stays whole.
      {u"C:\\Users\\User\\Desktop", u"C:\\Users\\User", u"D:\\Home", u"User",
       u"%USERPROFILE%\\Desktop"},
      {u"D:\\Home\\Music", u"C:\\P\\anna", u"D:\\Home\\", u"anna", u"%HOMEDRIVE%%HOMEPATH%\\Music"},
      {u"D:\\Data\\USER\\Music", u"C:\\P\\User", u"", u"User", u"D:\\Data\\%USERNAME%\\Music"},
      // Only whole names: "Users" is not "User", "C:\P\anna2" is not the profile.
      {u"D:\\Users\\Music", u"C:\\P\\User", u"", u"User", u"D:\\Users\\Music"},
      {u"C:\\P\\anna2\\Music", u"C:\\P\\anna", u"", u"anna", u"C:\\P\\anna2\\Music"},
      {u"D:\\Docs", u"", u"", u"", u"D:\\Docs"},
  };
  for (const auto& c : cases) {
    const Text form = ToRegistryForm(c.path, {c.profile, c.home, c.name});
    EXPECT_EQ(ToUtf8(form), ToUtf8(c.expected)) << ToUtf8(c.path);
  }
}

TEST(ShellFolderRegistryForm, StopsReplacingBeforeTheCapacity) {
  const Text profile = u"C:\\" + Text(5, u'p');
  const Text path = profile + u"\\x";
  // "%USERPROFILE%\x" is 15 units; a buffer of 12 takes the path as it is.
  EXPECT_EQ(ToUtf8(ToRegistryForm(path, {profile, u"", u""}, 12)), ToUtf8(path));
}

TEST(ShellFolderPaths, NameTheAccountsOwnFoldersOrNothing) {
  sim::Machine machine(sim::MachineShape::kBare);
  ASSERT_EQ(machine.environment().Set(u"USERPROFILE", TextView(u"C:\\Admin")), kErrorSuccess);
  auto& env = machine.environment();
  const AccountFolderValues anna{u"C:\\P\\anna", u"D:\\H\\anna", u"anna"};
  // An account that never logged on has no profile folder yet: the running
  // user's profile must not stand in for it.
  EXPECT_FALSE(ResolveAccountPath(env, u"%USERPROFILE%\\Desktop", {u"", u"", u"anna"}));
  EXPECT_EQ(ToUtf8(ResolveAccountPath(env, u"%USERPROFILE%\\Desktop", anna).value_or(u"-")),
            "C:\\P\\anna\\Desktop");
  EXPECT_EQ(ToUtf8(ResolveAccountPath(env, u"%ThisHome%\\%ThisUser%", anna).value_or(u"-")),
            "D:\\H\\anna\\anna");
  // Without SystemRoot the path would be relative to the current folder.
  EXPECT_FALSE(ResolveAccountPath(env, u"%SystemRoot%\\Fonts", anna));
  // Cut to a path's length, it would name another folder.
  EXPECT_FALSE(ResolveAccountPath(env, u"%ThisProfile%\\" + Text(250, u'x'), anna));
}

TEST(ShellFolderPaths, NestedFoldersAreRecognised) {
  EXPECT_TRUE(FoldersNest(u"D:\\Docs", u"d:\\docs\\anna"));
  EXPECT_TRUE(FoldersNest(u"D:\\Docs\\anna\\", u"D:\\Docs"));
  EXPECT_TRUE(FoldersNest(u"D:\\Docs", u"D:\\DOCS"));
  EXPECT_FALSE(FoldersNest(u"D:\\Docs", u"D:\\Docs2"));
}

class VolumeCheckerTest : public ::testing::Test {
 protected:
  sim::Machine machine;
  tarn::testing::ScriptedPrompter prompter;
  VolumeChecker volumes{machine.files(), prompter, 10};
};

TEST_F(VolumeCheckerTest, MissingDriveMovesToTheChosenOneAndRemembersIt) {
  machine.files().AddVolume(u"D:");
  prompter.Answer({VolumeAnswer::Retry, u"D:\\Docs", /*rememberDrive=*/true, u"", u""});
  Text path = u"X:\\Docs";
  EXPECT_TRUE(volumes.CheckVolume(path));
  EXPECT_EQ(ToUtf8(path), "D:\\Docs");
  ASSERT_EQ(prompter.questions.size(), 1u);
  EXPECT_EQ(prompter.questions[0].problem, VolumeProblem::Missing);
  EXPECT_EQ(prompter.questions[0].timeoutSeconds, 10u);
  Text later = u"x:\\Music";
  EXPECT_TRUE(volumes.CheckVolume(later));
  EXPECT_EQ(ToUtf8(later), "D:\\Music");
  EXPECT_EQ(prompter.questions.size(), 1u);
}

TEST_F(VolumeCheckerTest, CancelGivesUpTheDriveForTheRun) {
  Text path = u"X:\\Docs";
  EXPECT_FALSE(volumes.CheckVolume(path));
  Text again = u"X:\\Music";
  EXPECT_FALSE(volumes.CheckVolume(again));
  EXPECT_EQ(prompter.questions.size(), 1u);
}

TEST_F(VolumeCheckerTest, UnformattedDriveIsFormattedOnRequest) {
  machine.files().AddUnformattedVolume(u"E:");
  EXPECT_EQ(machine.files().VolumeState(u"E:\\"), platform::kErrorUnrecognizedVolume);
  prompter.Answer({VolumeAnswer::Format, u"", false, u"NTFS", u"Data"});
  Text path = u"E:\\Docs";
  EXPECT_TRUE(volumes.CheckVolume(path));
  ASSERT_EQ(prompter.questions.size(), 1u);
  EXPECT_EQ(prompter.questions[0].problem, VolumeProblem::Unformatted);
  EXPECT_EQ(ToUtf8(machine.files().VolumeLabel(u"E:\\").value_or(u"-")), "Data");
}

TEST_F(VolumeCheckerTest, FailedFormatAsksAgainAndUnattendedCancels) {
  machine.files().AddUnformattedVolume(u"E:");
  machine.files().SetFormatterPresent(false);
  prompter.Answer({VolumeAnswer::Format, u"", false, u"NTFS", u""});
  Text path = u"E:\\Docs";
  EXPECT_FALSE(volumes.CheckVolume(path));
  EXPECT_EQ(prompter.questions.size(), 2u);

  app::UnattendedPrompter unattended;
  VolumeChecker alone(machine.files(), unattended, app::kUnattendedQuestionSeconds);
  Text other = u"E:\\Music";
  EXPECT_FALSE(alone.CheckVolume(other));
}

TEST_F(VolumeCheckerTest, TypedPathsWarnOnlyAboutDrivesTheyName) {
  machine.files().AddUnformattedVolume(u"E:");
  const std::pair<const char16_t*, WinError> cases[] = {
      {u"E:\\Docs", platform::kErrorUnrecognizedVolume},
      {u"X:\\Docs", kErrorPathNotFound},
      {u"C:\\Docs", kErrorSuccess},
      {u"\\\\server\\share", kErrorSuccess},
      {u"E:Docs", kErrorSuccess},
      {u"", kErrorSuccess},
  };
  for (const auto& [path, expected] : cases) {
    EXPECT_EQ(PathVolumeState(machine.files(), path), expected) << ToUtf8(path);
  }
}

class ApplyShellFoldersTest : public ::testing::Test {
 protected:
  void SetUp() override {
    files().AddVolume(u"D:");
    ASSERT_EQ(test.machine.environment().Set(u"SystemRoot", TextView(u"C:\\WINDOWS")),
              kErrorSuccess);
    auto& registry = test.machine.registry();
    ASSERT_TRUE(registry.Put(platform::kCurrentUser, u"Hive\\" + Text(kUserShellFoldersKey), u"",
                             platform::RegValue{}));
    hive = registry.OpenKey(platform::kCurrentUser, u"Hive", platform::kKeyAllAccess).value_or(0);
    folders = registry.OpenKey(hive, kUserShellFoldersKey, platform::kKeyAllAccess).value_or(0);
    ASSERT_NE(folders, 0u);
    log.SetListener([this](Text message, int32_t level) {
      if (level != app::kLogInfo) problems.push_back(ToUtf8(message));
    });
  }

  sim::SimFileSystem& files() { return test.machine.files(); }

  void SetHiveValue(size_t index, TextView value) {
    ASSERT_EQ(test.machine.registry().SetValue(
                  folders, ShellFolderNames()[index],
                  platform::RegValue::FromText(value, platform::kRegExpandSz)),
              kErrorSuccess);
  }
  Text HiveValue(size_t index) {
    auto value = test.machine.registry().QueryValue(folders, ShellFolderNames()[index]);
    return value ? value->AsText() : u"(none)";
  }

  void Apply(UserAccount& record) {
    VolumeChecker volumes(files(), prompter, 10);
    ApplyShellFolders(test.services(), volumes, record,
                      {hive, folders, log, false,
                       [this](TextView folder) { secured.push_back(ToUtf8(folder)); }});
  }

  static void Anna(UserAccount& record) {
    record.Name = u"anna";
    record.Profile = u"C:\\Users\\anna";
    record.Home = u"D:\\Users\\anna";
  }

  testing::AccountMachine test;
  tarn::testing::ScriptedPrompter prompter;
  app::LogFile log{test.machine.platform()};
  platform::RegKey hive = 0;
  platform::RegKey folders = 0;
  std::vector<std::string> problems;
  std::vector<std::string> secured;
};

TEST_F(ApplyShellFoldersTest, MovedFolderIsCreatedCopiedAndStoredForTheAccount) {
  UserAccount record;
  Anna(record);
  record.Exists = 1;
  SetHiveValue(kFolderPersonal, u"%USERPROFILE%\\My Documents");
  ASSERT_TRUE(files().PutTextFile(u"C:\\Users\\anna\\My Documents\\a.txt", "a"));
  record.ShellFolders[kFolderPersonal] = u"D:\\Docs\\%ThisUser%";
  record.ShellFolders[kFolderMyMusic] = u"%ThisHome%\\Music";
  Apply(record);
  EXPECT_EQ(ToUtf8(HiveValue(kFolderPersonal)), "D:\\Docs\\%USERNAME%");
  EXPECT_EQ(ToUtf8(HiveValue(kFolderMyMusic)), "%HOMEDRIVE%%HOMEPATH%\\Music");
  EXPECT_TRUE(files().Exists(u"D:\\Docs\\anna\\a.txt"));
  EXPECT_TRUE(files().Exists(u"C:\\Users\\anna\\My Documents\\a.txt"));
  EXPECT_TRUE(files().IsDirectory(u"D:\\Users\\anna\\Music"));
  EXPECT_EQ(ToUtf8(record.ShellFolders[kFolderPersonal].view()), "D:\\Docs\\anna");
  // Only the folders themselves get the account's security, not D:\Docs.
  EXPECT_NE(std::find(secured.begin(), secured.end(), "D:\\Docs\\anna"), secured.end());
  EXPECT_EQ(std::find(secured.begin(), secured.end(), "D:\\Docs"), secured.end());
  EXPECT_TRUE(problems.empty()) << problems.front();
}

TEST_F(ApplyShellFoldersTest, AccountCalledUserKeepsItsProfilePlaceholderWhole) {
  UserAccount record;
  record.Name = u"User";
  record.Profile = u"C:\\Users\\User";
  record.ShellFolders[kFolderDesktop] = u"%ThisProfile%\\Desktop";
  Apply(record);
  EXPECT_EQ(ToUtf8(HiveValue(kFolderDesktop)), "%USERPROFILE%\\Desktop");
  EXPECT_TRUE(files().IsDirectory(u"C:\\Users\\User\\Desktop"));
}

TEST_F(ApplyShellFoldersTest, AccountThatNeverLoggedOnGetsNoFolderCalledUserProfile) {
  UserAccount record;
  record.Name = u"anna";
  Apply(record);
  EXPECT_FALSE(files().Exists(u"C:\\%USERPROFILE%"));
  EXPECT_FALSE(files().Exists(u"%USERPROFILE%"));
  EXPECT_EQ(problems.size(), 21u) << "every folder but Fonts lies in the profile";
}

TEST_F(ApplyShellFoldersTest, FolderMovedIntoItsOwnSubfolderIsNotCopied) {
  UserAccount record;
  Anna(record);
  record.Exists = 1;
  SetHiveValue(kFolderPersonal, u"%HOMEDRIVE%%HOMEPATH%\\Docs");
  ASSERT_TRUE(files().PutTextFile(u"D:\\Users\\anna\\Docs\\a.txt", "a"));
  record.ShellFolders[kFolderPersonal] = u"D:\\Users\\anna\\Docs\\anna";
  Apply(record);
  EXPECT_TRUE(files().IsDirectory(u"D:\\Users\\anna\\Docs\\anna"));
  EXPECT_FALSE(files().Exists(u"D:\\Users\\anna\\Docs\\anna\\a.txt"));
  EXPECT_FALSE(files().Exists(u"D:\\Users\\anna\\Docs\\anna\\anna"));
  ASSERT_EQ(problems.size(), 1u);
}

// A folder the account's own hive places outside its profile and home is
// neither made nor copied from: the account could have named any folder.
TEST_F(ApplyShellFoldersTest, AHiveFolderOutsideTheAccountsFoldersIsLeftAlone) {
  UserAccount record;
  Anna(record);
  record.Exists = 1;
  SetHiveValue(kFolderPersonal, u"C:\\Windows\\System32");
  SetHiveValue(kFolderDesktop, u"E:\\Planted");
  ASSERT_TRUE(files().PutTextFile(u"C:\\Windows\\System32\\config.sys", "x"));
  record.ShellFolders[kFolderPersonal] = u"D:\\Users\\anna\\Documents";
  Apply(record);
  EXPECT_TRUE(files().IsDirectory(u"D:\\Users\\anna\\Documents"));
  EXPECT_FALSE(files().Exists(u"D:\\Users\\anna\\Documents\\config.sys"));
  EXPECT_FALSE(files().Exists(u"E:\\Planted"));
}

TEST_F(ApplyShellFoldersTest, MissingDriveIsAnsweredAndCancelledDriveSkipped) {
  UserAccount record;
  Anna(record);
  record.ShellFolders[kFolderMyMusic] = u"X:\\Music";
  record.ShellFolders[kFolderMyPictures] = u"Y:\\Pictures";
  record.ShellFolders[kFolderPersonal] = u"Y:\\Docs";
  prompter.Answer({VolumeAnswer::Retry, u"D:\\Music", false, u"", u""});
  Apply(record);
  EXPECT_EQ(ToUtf8(HiveValue(kFolderMyMusic)), "D:\\Music");
  EXPECT_TRUE(files().IsDirectory(u"D:\\Music"));
  // The answers have run out for Y: (Cancel); Personal on Y: is not asked about.
  EXPECT_EQ(prompter.questions.size(), 2u);
  EXPECT_EQ(ToUtf8(HiveValue(kFolderPersonal)), "(none)");
  EXPECT_EQ(problems.size(), 2u);
}

TEST_F(ApplyShellFoldersTest, DefaultUserProfileLandsAtTheRedirectedFolders) {
  const Text source = u"C:\\Old\\Default User";
  const Text target = u"C:\\Old\\anna";
  ASSERT_TRUE(files().PutTextFile(source + u"\\ntuser.dat", "hive"));
  ASSERT_TRUE(files().PutTextFile(source + u"\\My Documents\\My Music\\m.txt", "m"));
  ASSERT_TRUE(files().PutTextFile(source + u"\\Desktop\\d.txt", "d"));
  ASSERT_TRUE(files().PutTextFile(source + u"\\Other\\o.txt", "o"));
  ASSERT_TRUE(files().MakeDirectories(target));
  UserAccount record;
  Anna(record);
  record.ShellFolders[kFolderPersonal] = u"D:\\Docs\\%ThisUser%";
  record.ShellFolders[kFolderDesktop] = u"%Personal%\\Desktop";
  VolumeChecker volumes(files(), prompter, 10);
  ASSERT_TRUE(CopyDefaultUserProfile(test.services(), volumes, source, target, record));
  EXPECT_TRUE(files().Exists(target + u"\\ntuser.dat"));
  EXPECT_TRUE(files().Exists(target + u"\\Other\\o.txt"));
  EXPECT_TRUE(files().Exists(u"D:\\Docs\\anna\\My Music\\m.txt"));
  EXPECT_TRUE(files().Exists(u"D:\\Docs\\anna\\Desktop\\d.txt"));
  EXPECT_EQ(ToUtf8(record.ShellFolders[kFolderDesktop].view()), "D:\\Docs\\anna\\Desktop");
  EXPECT_FALSE(files().Exists(target + u"\\My Documents"));
}

}  // namespace
}  // namespace tarn::accounts
