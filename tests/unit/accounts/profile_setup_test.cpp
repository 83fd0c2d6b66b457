#include "accounts/profile_setup.h"

#include <gtest/gtest.h>

#include "account_test_machine.h"
#include "accounts/account_profiles.h"
#include "accounts/shell_folder_table.h"

namespace tarn::accounts {
namespace {

constexpr char16_t kProfiles[] = u"C:\\Users";
constexpr char16_t kShellFolders[] =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

std::string U8(TextView text) {
  return ToUtf8(text);
}

std::string Describe(const std::vector<platform::AccessEntry>& entries) {
  std::string text;
  for (const auto& entry : entries) {
    text += U8(entry.sid.ToText()) + "/" + std::to_string(entry.flags) + "/" +
            std::to_string(entry.mask) + " ";
  }
  return text;
}

class ProfileSetup : public ::testing::Test {
 protected:
  ProfileSetup() {
    platform::UserInfo info;
    info.name = u"anna";
    sidText = m.AddAccount(info);
    sid = *platform::Sid::FromText(sidText);
    EXPECT_EQ(m.machine.environment().Set(u"SystemDrive", u"C:"), kErrorSuccess);
    EXPECT_EQ(m.machine.services().EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}),
              kErrorSuccess);
  }
  sim::SimFileSystem& files() { return m.machine.files(); }

  testing::AccountMachine m;
  Text sidText;
  platform::Sid sid;
};

TEST_F(ProfileSetup, NewProfileIsCopiedFromTheDefaultProfileAndGivenToTheAccount) {
  const Text defaultUser = Text(kProfiles) + u"\\Default";
  ASSERT_TRUE(m.machine.files().PutTextFile(defaultUser + u"\\Desktop\\readme.txt", "hi"));
  ASSERT_EQ(files().DeleteFile(defaultUser + u"\\NTUSER.DAT"), kErrorSuccess);
  m.WriteHive(defaultUser + u"\\NTUSER.DAT",
              {{u"Software\\Test", u"X", platform::RegValue::FromText(u"1")},
               {Text(kUserShellFoldersKey), u"Desktop", platform::RegValue::FromText(u"X:\\Desk")},
               {kShellFolders, u"Desktop", platform::RegValue::FromText(u"C:\\old")}});
  const Text folder = Text(kProfiles) + u"\\anna";

  const auto setup = SetUpLocalProfile(m.services(), sid, u"%SystemDrive%\\Users\\anna");
  ASSERT_EQ(setup.details, kErrorSuccess);
  ASSERT_EQ(setup.copy, kErrorSuccess);

  const auto expected = ProfileAccessList(sid);
  ASSERT_EQ(expected.size(), 6u);
  EXPECT_TRUE(files().Exists(folder + u"\\Desktop\\readme.txt"));
  EXPECT_EQ(U8(files().GetOwner(folder)->ToText()), U8(sidText));
  EXPECT_EQ(U8(files().GetOwner(folder + u"\\ntuser.dat")->ToText()), U8(sidText));
  EXPECT_EQ(Describe(*files().GetAccessList(folder + u"\\ntuser.dat")), Describe(expected));
  const Text entry = Text(testing::AccountMachine::kProfileListKeyText) + u"\\" + sidText;
  auto image = m.machine.registry().Get(platform::kLocalMachine, entry, u"ProfileImagePath");
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->type, platform::kRegExpandSz);
  EXPECT_EQ(U8(image->AsText()), "%SystemDrive%\\Users\\anna");
  EXPECT_EQ(m.machine.registry().Get(platform::kLocalMachine, entry, u"Sid")->data, sid.ToBytes());

  // The access lists went into the hive file with the keys.
  const auto root = LoadUserHive(m.services(), sid, folder);
  ASSERT_TRUE(root.has_value());
  platform::Registry& registry = m.machine.registry();
  EXPECT_EQ(Describe(*registry.GetKeyAccessList(*root)), Describe(expected));
  auto inherited = expected;
  for (auto& ace : inherited) ace.flags |= platform::kAceInherited;
  for (const char16_t* path : {u"Software", u"Software\\Test"}) {
    platform::ScopedKey key = platform::ScopedKey::Open(registry, *root, path, platform::kKeyRead);
    ASSERT_TRUE(key) << U8(path);
    EXPECT_EQ(Describe(*registry.GetKeyAccessList(key.get())), Describe(inherited)) << U8(path);
  }
  // Shell folders start from the system defaults.
  const Text hivePath = sidText + u"\\";
  EXPECT_EQ(U8(m.machine.registry()
                   .Get(platform::kUsers, hivePath + kUserShellFoldersKey, u"Desktop")
                   ->AsText()),
            "%USERPROFILE%\\Desktop");
  // What the copy resolved is worked out again; nothing else is added.
  auto resolved = m.machine.registry().Get(platform::kUsers, hivePath + kShellFolders, u"Desktop");
  ASSERT_TRUE(resolved.has_value());
  EXPECT_EQ(resolved->type, platform::kRegSz);
  EXPECT_TRUE(resolved->data.empty());
  EXPECT_FALSE(m.machine.registry().Get(platform::kUsers, hivePath + kShellFolders, u"My Music"));
  EXPECT_EQ(UnloadUserHive(m.services(), sid, *root), kErrorSuccess);
}

TEST_F(ProfileSetup, NewFolderTakesTheFirstFreeNumberedName) {
  ASSERT_TRUE(files().MakeDirectories(Text(kProfiles) + u"\\anna"));
  ASSERT_TRUE(files().PutTextFile(Text(kProfiles) + u"\\anna.0001", "a file"));
  Text profile;
  ASSERT_EQ(MakeProfileFolder(m.services(), u"anna", ProfileAccessList(sid), profile),
            kErrorSuccess);
  EXPECT_EQ(U8(profile), "C:\\Users\\anna.0002");
  EXPECT_TRUE(files().IsDirectory(profile));
  EXPECT_EQ(Describe(*files().GetAccessList(profile)), Describe(ProfileAccessList(sid)));
  EXPECT_EQ(MakeProfileFolder(m.services(), u"bad|name", {}, profile), sim::kErrorInvalidName);
}

TEST_F(ProfileSetup, FolderWithAHiveIsOnlyRegistered) {
  ASSERT_TRUE(files().PutTextFile(Text(kProfiles) + u"\\Default\\readme.txt", "hi"));
  const Text folder = Text(kProfiles) + u"\\anna";
  ASSERT_TRUE(files().MakeDirectories(folder));
  m.WriteHive(folder + u"\\NTUSER.DAT", {{u"Software", u"X", platform::RegValue::FromText(u"1")}});
  const platform::AccessEntry kept{*platform::Sid::FromText(u"S-1-5-32-545"), 0, 1};
  ASSERT_EQ(files().SetAccessList(folder, std::vector{kept}), kErrorSuccess);

  ASSERT_EQ(SetUpLocalProfile(m.services(), sid, folder).details, kErrorSuccess);

  EXPECT_FALSE(files().Exists(folder + u"\\readme.txt"));
  EXPECT_EQ(Describe(*files().GetAccessList(folder)), Describe({kept}));
  // A folder with something in it may be someone's; its owner stays.
  EXPECT_EQ(U8(files().GetOwner(folder)->ToText()), "S-1-5-32-544");
  EXPECT_EQ(Describe(*files().GetAccessList(folder + u"\\ntuser.dat")), "")
      << "the hive is not prepared again";
  EXPECT_TRUE(m.machine.registry().KeyExists(
      platform::kLocalMachine,
      Text(testing::AccountMachine::kProfileListKeyText) + u"\\" + sidText));
}

TEST_F(ProfileSetup, DeleteRefusesFoldersOutsideTheProfilesAndTheSharedOnes) {
  struct Case {
    const char16_t* imagePath;
    const char16_t* folder;
    bool deleted;
  };
  const Case cases[] = {
      {u"%SystemDrive%\\Users\\anna", u"C:\\Users\\anna", true},
      {u"C:\\Windows", u"C:\\Windows", false},
      {u"C:\\Users", u"C:\\Users", false},
      {u"C:\\Users\\", u"C:\\Users", false},
      {u"C:\\users\\default", u"C:\\Users\\Default", false},
      {u"C:\\Users\\Public", u"C:\\Users\\Public", false},
      {u"C:\\Users\\anna\\..\\..\\Windows", u"C:\\Windows", false},
      {u"C:\\Users Old\\anna", u"C:\\Users Old\\anna", false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(files().PutTextFile(Text(c.folder) + u"\\file.txt", "x"));
    m.AddProfileListEntry(sidText, c.imagePath, u"", std::nullopt);
    EXPECT_EQ(DeleteProfile(m.services(), u"", u"anna"), c.deleted) << U8(c.imagePath);
    EXPECT_EQ(files().Exists(c.folder), !c.deleted) << U8(c.imagePath);
    // The entry goes only with its folder: it is the way to find it again.
    EXPECT_EQ(m.machine.registry().KeyExists(
                  platform::kLocalMachine,
                  Text(testing::AccountMachine::kProfileListKeyText) + u"\\" + sidText),
              !c.deleted)
        << U8(c.imagePath);
  }
  EXPECT_FALSE(DeleteProfile(m.services(), u"", u"nobody"));
}

TEST_F(ProfileSetup, DeleteRemovesAJunctionWithoutEnteringIt) {
  ASSERT_TRUE(files().PutTextFile(u"C:\\Data\\keep.txt", "x"));
  const Text folder = Text(kProfiles) + u"\\anna";
  ASSERT_TRUE(files().PutTextFile(folder + u"\\ntuser.dat", "x"));
  ASSERT_TRUE(files().MakeJunction(folder + u"\\My Data", u"C:\\Data"));
  ASSERT_TRUE(files().Exists(folder + u"\\My Data\\keep.txt")) << "the link leads to the target";
  m.AddProfileListEntry(sidText, folder, u"", std::nullopt);

  EXPECT_TRUE(DeleteProfile(m.services(), u"", u"anna"));

  EXPECT_FALSE(files().Exists(folder));
  EXPECT_TRUE(files().Exists(u"C:\\Data\\keep.txt"));
}

}  // namespace
}  // namespace tarn::accounts
