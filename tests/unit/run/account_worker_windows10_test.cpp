// The account worker on the Windows 10/11 machine as it comes from set-up:
// profiles under C:\Users filled from the Default profile, compatibility
// junctions, the profile list's shared folders, and hives the program must
// not trust.
#include <gtest/gtest.h>

#include <algorithm>

#include "accounts/account_lookup.h"
#include "accounts/account_profiles.h"
#include "accounts/shell_folder_table.h"
#include "platform/security.h"
#include "unit/run/account_worker_run.h"

namespace tarn::run {
namespace {

using accounts::UserAccount;
using testing::WorkerRun;

constexpr bool kWindows10Defaults = false;

// The value `name` of the User Shell Folders key in the hive of `profile`.
Text HiveFolder(WorkerRun& r, TextView name, TextView profile, const platform::Sid& sid) {
  const auto services = r.m.services();
  const auto hive = accounts::LoadUserHive(services, sid, profile);
  if (!hive) return u"(no hive)";
  const auto value = r.m.machine.registry().Get(
      platform::kUsers, sid.ToText() + u"\\" + Text(accounts::kUserShellFoldersKey), name);
  const auto access = r.m.machine.registry().GetKeyAccessList(*hive);
  const bool packages =
      access && std::ranges::any_of(*access, [](const platform::AccessEntry& entry) {
        return entry.sid == platform::AllApplicationPackagesSid();
      });
  EXPECT_TRUE(packages) << "the hive's root lost the entry store apps read through";
  EXPECT_EQ(accounts::UnloadUserHive(services, sid, *hive), kErrorSuccess);
  return value ? value->AsText() : u"(none)";
}

TEST(AccountWorkerWindows10Test, ANewAccountStartsFromTheDefaultProfile) {
  WorkerRun r(kWindows10Defaults);
  r.Add(u"anna", u"Pw-anna-1");
  r.Run();
  ASSERT_EQ(r.progress.steps.size(), 1u);
  EXPECT_EQ(r.progress.steps[0].outcome, app::Outcome::kSuccess) << ToUtf8(r.log);
  const Text profile = u"C:\\Users\\anna";
  EXPECT_EQ(r.list.AccountAt(0)->Profile.str(), profile);
  const platform::Sid sid = r.accounts().UserSid(r.accounts().FindUser(u"anna")->rid);
  EXPECT_EQ(ToUtf8(HiveFolder(r, u"Personal", profile, sid)), "%USERPROFILE%\\Documents");
  auto& files = r.m.machine.files();
  EXPECT_NE(files.GetAttributes(profile + u"\\AppData") & platform::kFileAttributeHidden, 0u);
  EXPECT_TRUE(files.IsDirectory(profile + u"\\AppData\\Roaming"));
  // The old names are junctions in the Default profile; none may turn into
  // a plain folder, and no folder of an older system appears.
  for (const char16_t* absent : {u"\\My Documents", u"\\Local Settings", u"\\Application Data",
                                 u"\\Documents\\My Music", u"\\Start Menu"}) {
    EXPECT_FALSE(r.FolderExists(profile + absent)) << ToUtf8(absent);
  }
}

TEST(AccountWorkerWindows10Test, WithoutADefaultProfileHiveTheAccountIsAnErrorAndNoHiveIsMade) {
  WorkerRun r(kWindows10Defaults);
  ASSERT_EQ(r.m.machine.files().DeleteFile(u"C:\\Users\\Default\\NTUSER.DAT"), kErrorSuccess);
  r.Add(u"anna", u"Pw-anna-1");
  r.Run();
  ASSERT_EQ(r.progress.steps.size(), 1u);
  EXPECT_EQ(r.progress.steps[0].outcome, app::Outcome::kError);
  EXPECT_TRUE(r.Logged(u"The default profile can't be copied")) << ToUtf8(r.log);
  EXPECT_FALSE(r.FolderExists(u"C:\\Users\\anna\\NTUSER.DAT"));
}

struct DeletionCase {
  const char* what;
  const char16_t* folder;  // the profile-list entry's folder
  const char16_t* onDisk;  // the same, expanded
  bool loaded;             // the account's hive is loaded
  bool removed;            // the folder and the entry go
};

TEST(AccountWorkerWindows10Test, DeletingAnAccountRemovesOnlyAProfileThatIsItsAlone) {
  const DeletionCase cases[] = {
      {"its own profile", u"C:\\Users\\ben", u"C:\\Users\\ben", false, true},
      {"the Public profile", u"C:\\Users\\Public", u"C:\\Users\\Public", false, false},
      {"the Default profile", u"%SystemDrive%\\Users\\Default", u"C:\\Users\\Default", false,
       false},
      {"the administrator's profile", u"C:\\Users\\Administrator", u"C:\\Users\\Administrator",
       false, false},
      {"a profile in use", u"C:\\Users\\ben", u"C:\\Users\\ben", true, false},
  };
  for (const DeletionCase& c : cases) {
    SCOPED_TRACE(c.what);
    WorkerRun r(kWindows10Defaults);
    const uint32_t rid = r.Existing(u"ben");
    const Text sid = r.accounts().UserSid(rid).ToText();
    const Text entry = Text(accounts::kProfileListKey) + u"\\" + sid;
    ASSERT_TRUE(
        r.m.machine.registry().Put(platform::kLocalMachine, entry, u"ProfileImagePath",
                                   platform::RegValue::FromText(c.folder, platform::kRegExpandSz)));
    if (c.loaded) {
      const Text hive = Text(c.onDisk) + u"\\NTUSER.DAT";
      r.m.WriteHive(hive, {{u"Software", u"X", platform::RegValue::FromText(u"1")}});
      ASSERT_EQ(r.m.machine.registry().LoadHive(platform::kUsers, sid, hive), kErrorSuccess);
    }
    UserAccount& ben = r.Add(u"ben");
    ben.Exists = 1;
    ben.Deleted = 1;
    r.Run();
    EXPECT_EQ(r.accounts().FindUser(u"ben"), nullptr);
    EXPECT_EQ(r.m.machine.registry().KeyExists(platform::kLocalMachine, entry), !c.removed);
    EXPECT_EQ(r.m.machine.files().IsDirectory(c.onDisk), !c.removed);
    ASSERT_EQ(r.progress.steps.size(), 1u);
    EXPECT_EQ(r.progress.steps[0].outcome,
              c.removed ? app::Outcome::kSuccess : app::Outcome::kWarning);
  }
}

// An existing account's hive names a folder of the system as its desktop
// and sets a variable: the run neither makes that folder nor takes the
// variable into its own environment, and looking the account up never
// writes a hive file.
TEST(AccountWorkerWindows10Test, AnExistingAccountsOwnHiveDoesNotSteerTheRun) {
  WorkerRun r(kWindows10Defaults);
  const uint32_t rid = r.Existing(u"ben");
  const platform::Sid sid = r.accounts().UserSid(rid);
  const Text hive = u"C:\\Users\\ben\\NTUSER.DAT";
  UserAccount& ben = r.Add(u"ben");
  ben.Exists = 1;
  ASSERT_TRUE(accounts::LookUpAccount(r.m.services(), ben));
  EXPECT_FALSE(r.FolderExists(hive)) << "looking the account up made a hive file";

  r.m.WriteHive(hive,
                {{Text(accounts::kUserShellFoldersKey), u"Desktop",
                  platform::RegValue::FromText(u"C:\\Windows\\Planted", platform::kRegExpandSz)},
                 {u"Environment", u"PLANTED", platform::RegValue::FromText(u"1")}});
  ASSERT_TRUE(accounts::LookUpAccount(r.m.services(), ben));
  EXPECT_TRUE(ben.ShellFolders[accounts::kFolderDesktop].empty());
  r.Run();
  EXPECT_FALSE(r.FolderExists(u"C:\\Windows\\Planted")) << ToUtf8(r.log);
  EXPECT_FALSE(r.m.machine.environment().Get(u"PLANTED").has_value());
  EXPECT_TRUE(r.Logged(u"lies outside the account's profile")) << ToUtf8(r.log);
  EXPECT_FALSE(r.m.machine.registry().KeyExists(platform::kUsers, sid.ToText()));
}

TEST(AccountWorkerWindows10Test, AFolderOfTheSystemOrOfAnotherAccountIsNoProfile) {
  for (const char16_t* folder :
       {u"C:\\", u"C:\\Windows", u"C:\\Users\\Public\\anna", u"C:\\Users\\Administrator"}) {
    SCOPED_TRACE(ToUtf8(folder));
    WorkerRun r(kWindows10Defaults);
    UserAccount& anna = r.Add(u"anna", u"Pw-anna-1");
    anna.Profile = folder;
    r.Run();
    ASSERT_EQ(r.progress.steps.size(), 1u);
    EXPECT_EQ(r.progress.steps[0].outcome, app::Outcome::kError);
    EXPECT_TRUE(r.Logged(u"can't be the profile folder")) << ToUtf8(r.log);
    EXPECT_FALSE(r.FolderExists(Text(folder) + u"\\NTUSER.DAT"));
  }
}

}  // namespace
}  // namespace tarn::run
