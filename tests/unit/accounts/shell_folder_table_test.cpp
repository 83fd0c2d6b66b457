#include <gtest/gtest.h>

#include "account_test_machine.h"
#include "accounts/shell_folder_table.h"
#include "support/text_helpers.h"

namespace tarn::accounts {
namespace {

using tarn::testing::T;

struct ReplaceCase {
  const char* text;
  size_t capacity;
  const char* search;
  const char* replacement;
  const char* expected;
  bool result;
};

class ReplaceTextTest : public ::testing::TestWithParam<ReplaceCase> {};

TEST_P(ReplaceTextTest, ReplacesBoundedAndIgnoringCase) {
  const ReplaceCase& c = GetParam();
  Text text = T(c.text);
  const bool result = ReplaceText(text, c.capacity, T(c.search), T(c.replacement));
  EXPECT_EQ(ToUtf8(text), c.expected);
  EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplaceTextTest,
    ::testing::Values(ReplaceCase{"%USERPROFILE%\\Desktop", 260, "%userprofile%", "%ThisProfile%",
                                  "%ThisProfile%\\Desktop", true},
                      ReplaceCase{"a%X%b%x%c", 260, "%X%", "[%X%]", "a[%X%]b[%X%]c", true},
                      // Continuing after the inserted text: no endless loop on a
                      // replacement that contains the search text.
                      ReplaceCase{"aa", 260, "a", "aa", "aaaa", true},
                      ReplaceCase{"nothing here", 260, "%USERNAME%", "x", "nothing here", false},
                      // The second replacement would exceed 9 characters: stops there.
                      ReplaceCase{"%A%%A%", 9, "%A%", "12345", "12345%A%", true},
                      ReplaceCase{"%A%%A%", 10, "%A%", "12345", "1234512345", true},
                      ReplaceCase{"%A%", 2, "%A%", "12345", "%A%", true},
                      ReplaceCase{"abc", 260, "", "x", "abc", false},
                      ReplaceCase{"xABCx", 260, "abc", "", "xx", true}));

TEST(ReplaceText, LongPathLeavesAPlaceholderUnreplaced) {
  Text text = u"%ThisProfile%" + Text(237, u'p');
  ASSERT_EQ(text.size(), 250u);
  EXPECT_TRUE(ReplaceText(text, 260, u"%ThisProfile%", Text(43, u'x')));
  EXPECT_EQ(text.size(), 250u);
  EXPECT_EQ(text.substr(0, 13), u"%ThisProfile%");
}

TEST(DefaultShellFolder, IndexBeyondTheTableLeavesThePathUnchanged) {
  testing::AccountMachine m;
  Text path = u"kept";
  EXPECT_FALSE(DefaultShellFolder(m.services(), 22, path));
  EXPECT_EQ(ToUtf8(path), "kept");
  EXPECT_TRUE(DefaultShellFolder(m.services(), 19, path));
  EXPECT_EQ(ToUtf8(path), "%USERPROFILE%\\Start Menu");
}

TEST(DefaultShellFolder, FailsWithoutTheDefaultUsersKey) {
  testing::AccountMachine m;
  ASSERT_EQ(m.machine.registry().DeleteTree(platform::kUsers, u".Default"), kErrorSuccess);
  Text path = u"kept";
  EXPECT_FALSE(DefaultShellFolder(m.services(), 0, path));
  EXPECT_EQ(ToUtf8(path), "kept");
}

TEST(ReadDefaultShellFolders, AgreesWithTheSingleFolderReadForEveryIndex) {
  testing::AccountMachine m;
  // A folder without a .Default value falls back to its translation text.
  auto& registry = m.machine.registry();
  platform::ScopedKey key = platform::ScopedKey::Open(
      registry, platform::kUsers, kDefaultUserShellFoldersKey, platform::kKeyAllAccess);
  ASSERT_TRUE(key.valid());
  ASSERT_EQ(registry.DeleteValue(key.get(), ShellFolderNames()[kFolderCache]), kErrorSuccess);
  const ShellFolderPaths all = ReadDefaultShellFolders(m.services());
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    Text one;
    ASSERT_TRUE(DefaultShellFolder(m.services(), i, one));
    EXPECT_EQ(ToUtf8(all[i]), ToUtf8(one)) << "folder " << i;
  }
  EXPECT_EQ(ToUtf8(all[kFolderCache]), "Text5");
  EXPECT_EQ(ToUtf8(all[kFolderDesktop]), "%USERPROFILE%\\Desktop");
}

TEST(ReadDefaultShellFolders, AllEmptyWithoutTheDefaultUsersKey) {
  testing::AccountMachine m;
  ASSERT_EQ(m.machine.registry().DeleteTree(platform::kUsers, u".Default"), kErrorSuccess);
  for (const Text& path : ReadDefaultShellFolders(m.services())) EXPECT_EQ(ToUtf8(path), "");
}

TEST(ReadShellFolders, EmptyOrMissingValuesAreAbsent) {
  testing::AccountMachine m;
  auto& registry = m.machine.registry();
  ASSERT_TRUE(registry.Put(platform::kCurrentUser, kUserShellFoldersKey, u"Desktop",
                           platform::RegValue::FromText(u"D:\\Desk")));
  ASSERT_TRUE(registry.Put(platform::kCurrentUser, kUserShellFoldersKey, u"Favorites",
                           platform::RegValue::FromText(u"")));
  const auto found = ReadShellFolders(registry, platform::kCurrentUser);
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    Text one;
    const bool present = ReadShellFolder(registry, platform::kCurrentUser, i, one);
    ASSERT_EQ(found[i].has_value(), present) << "folder " << i;
    if (present) {
      EXPECT_EQ(ToUtf8(*found[i]), ToUtf8(one)) << "folder " << i;
    }
  }
  ASSERT_TRUE(found[kFolderDesktop].has_value());
  EXPECT_EQ(ToUtf8(*found[kFolderDesktop]), "D:\\Desk");
  EXPECT_FALSE(found[9].has_value()) << "Favorites is empty";
  for (const auto& path : ReadShellFolders(registry, platform::kLocalMachine)) {
    EXPECT_FALSE(path.has_value()) << "no key, no folders";
  }
}

TEST(ReadShellFoldersOrDefaults, DefaultsFillOnlyTheFoldersNotFound) {
  testing::AccountMachine m;
  ASSERT_TRUE(m.machine.registry().Put(platform::kCurrentUser, kUserShellFoldersKey, u"Desktop",
                                       platform::RegValue::FromText(u"D:\\Desk")));
  const ShellFolderPaths paths = ReadShellFoldersOrDefaults(m.services(), platform::kCurrentUser);
  EXPECT_EQ(ToUtf8(paths[kFolderDesktop]), "D:\\Desk");
  EXPECT_EQ(ToUtf8(paths[kFolderStartMenu]), "%USERPROFILE%\\Start Menu");
  const ShellFolderPaths defaults =
      ReadShellFoldersOrDefaults(m.services(), platform::kLocalMachine);
  EXPECT_EQ(ToUtf8(defaults[kFolderDesktop]), "%USERPROFILE%\\Desktop");
}

TEST(ShellFolderTable, ParentsAsAtCreation) {
  EXPECT_EQ(DefaultShellFolderParent(0), kFolderPersonal);
  EXPECT_EQ(DefaultShellFolderParent(12), kFolderLocalSettings);
  EXPECT_EQ(DefaultShellFolderParent(20), kFolderPrograms);
  EXPECT_EQ(DefaultShellFolderParent(16), kFolderStartMenu);
  EXPECT_FALSE(DefaultShellFolderParent(3).has_value());
  EXPECT_EQ(FindShellFolder(u"start menu"), 19u);
  EXPECT_FALSE(FindShellFolder(u"StartMenu").has_value());
}

TEST(WelcomeScreen, MissingValueReadsAsUnchangedAndUnchangedWritesNothing) {
  testing::AccountMachine m;
  auto& registry = m.machine.registry();
  EXPECT_EQ(ReadWelcomeScreen(registry, u"anna"), kWelcomeUnchanged);
  // Without the key every account is shown: showing one makes no key.
  EXPECT_EQ(SetWelcomeScreen(registry, u"anna", 1), kErrorSuccess);
  EXPECT_FALSE(registry.KeyExists(platform::kLocalMachine, kWelcomeScreenKey));
  ASSERT_TRUE(registry.Put(platform::kLocalMachine, kWelcomeScreenKey, u"other",
                           platform::RegValue::FromDword(1)));
  EXPECT_EQ(SetWelcomeScreen(registry, u"anna", kWelcomeUnchanged), kErrorSuccess);
  EXPECT_FALSE(registry.Get(platform::kLocalMachine, kWelcomeScreenKey, u"anna").has_value());
  EXPECT_EQ(SetWelcomeScreen(registry, u"anna", 0), kErrorSuccess);
  EXPECT_EQ(ReadWelcomeScreen(registry, u"ANNA"), 0);
}

}  // namespace
}  // namespace tarn::accounts
