// Behaviour of the simulated registry beyond the contract suite: hives,
// privileges, the predefined roots and the hive file format.
#include <gtest/gtest.h>

#include "platform/sim/machine.h"
#include "platform/sim/sim_registry_key.h"

namespace tarn::sim {
namespace {

using platform::kCurrentUser;
using platform::kKeyAllAccess;
using platform::kKeyRead;
using platform::kLocalMachine;
using platform::kUsers;
using platform::RegValue;
using platform::ScopedKey;

class SimRegistryTest : public ::testing::Test {
 protected:
  void EnableHivePrivileges() {
    ASSERT_EQ(machine_.services().EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}),
              kErrorSuccess);
  }

  // A hive file holding Software\Tarn = "v" (REG_SZ).
  Text MakeHiveFile(TextView path) {
    EXPECT_TRUE(
        reg().Put(kCurrentUser, u"Template\\Software\\Tarn", u"Value", RegValue::FromText(u"v")));
    ScopedKey key = ScopedKey::Open(reg(), kCurrentUser, u"Template", kKeyRead);
    EXPECT_EQ(reg().SaveKey(key.get(), path), kErrorSuccess);
    return Text(path);
  }

  SimRegistry& reg() { return machine_.registry(); }
  Machine machine_;
};

TEST_F(SimRegistryTest, HivesNeedTheBackupAndRestorePrivileges) {
  ScopedKey key = ScopedKey::Open(reg(), kCurrentUser, u"Software", kKeyRead);
  EXPECT_EQ(reg().SaveKey(key.get(), u"C:\\early.dat"), kErrorPrivilegeNotHeld);
  EXPECT_FALSE(machine_.files().Exists(u"C:\\early.dat"));
  EnableHivePrivileges();
  const Text file = MakeHiveFile(u"C:\\hive.dat");
  EXPECT_EQ(reg().LoadHive(kUsers, u"Loaded", file), kErrorSuccess);
  EXPECT_EQ(reg().Get(kUsers, u"Loaded\\Software\\Tarn", u"VALUE").value_or(RegValue{}).AsText(),
            u"v");
}

TEST_F(SimRegistryTest, UnloadWritesChangesBackAndKeepsTheFileAttributes) {
  EnableHivePrivileges();
  ASSERT_TRUE(machine_.files().MakeDirectories(u"C:\\Users\\Template"));
  const Text file = MakeHiveFile(u"C:\\Users\\Template\\NTUSER.DAT");
  constexpr uint32_t kHiddenSystem =
      platform::kFileAttributeHidden | platform::kFileAttributeSystem;
  ASSERT_EQ(machine_.files().SetAttributes(file, kHiddenSystem), kErrorSuccess);
  ASSERT_EQ(reg().LoadHive(kUsers, u"TempHive", file), kErrorSuccess);
  ASSERT_TRUE(reg().Put(kUsers, u"TempHive\\Software\\Tarn", u"Added", RegValue::FromDword(9)));
  ASSERT_EQ(reg().UnloadHive(kUsers, u"TempHive"), kErrorSuccess);
  EXPECT_FALSE(reg().KeyExists(kUsers, u"TempHive"));
  EXPECT_EQ(machine_.files().GetAttributes(file) & kHiddenSystem, kHiddenSystem);

  ASSERT_EQ(reg().LoadHive(kUsers, u"Again", file), kErrorSuccess);
  EXPECT_EQ(reg().Get(kUsers, u"Again\\Software\\Tarn", u"Added").value_or(RegValue{}).AsDword(),
            9u);
}

TEST_F(SimRegistryTest, HiveErrorsAreTheSystemsCodes) {
  EnableHivePrivileges();
  const Text file = MakeHiveFile(u"C:\\hive.dat");
  ASSERT_TRUE(machine_.files().PutTextFile(u"C:\\garbage.dat", "not a hive"));
  struct Row {
    const char* label;
    WinError actual;
    WinError expected;
  } rows[] = {
      {"missing folder", reg().LoadHive(kUsers, u"A", u"C:\\no\\none.dat"), kErrorPathNotFound},
      {"not a hive", reg().LoadHive(kUsers, u"A", u"C:\\garbage.dat"), kErrorBadHiveFile},
      {"wrong root", reg().LoadHive(kCurrentUser, u"A", file), kErrorInvalidParameter},
      {"nested name", reg().LoadHive(kUsers, u"A\\B", file), kErrorInvalidParameter},
      {"existing key", reg().LoadHive(kUsers, u".DEFAULT", file), kErrorAlreadyExists},
      {"unload unknown", reg().UnloadHive(kUsers, u"Nope"), kErrorFileNotFound},
      {"unload a key that is no hive", reg().UnloadHive(kUsers, u".DEFAULT"),
       kErrorInvalidParameter},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected) << row.label;
  // A missing file is made, holding an empty hive, as RegLoadKey does.
  ASSERT_EQ(reg().LoadHive(kUsers, u"Fresh", u"C:\\none.dat"), kErrorSuccess);
  EXPECT_TRUE(machine_.files().Exists(u"C:\\none.dat"));
  EXPECT_EQ(reg().UnloadHive(kUsers, u"Fresh"), kErrorSuccess);
  ASSERT_EQ(reg().LoadHive(kUsers, u"First", file), kErrorSuccess);
  EXPECT_EQ(reg().LoadHive(kUsers, u"Second", u"c:/HIVE.dat"), kErrorSharingViolation);
}

TEST_F(SimRegistryTest, UnloadIsRefusedWhileAHandleIsOpenInsideTheHive) {
  EnableHivePrivileges();
  const Text file = MakeHiveFile(u"C:\\hive.dat");
  ASSERT_EQ(reg().LoadHive(kUsers, u"Busy", file), kErrorSuccess);
  {
    ScopedKey inside = ScopedKey::Open(reg(), kUsers, u"Busy\\Software", kKeyRead);
    ASSERT_TRUE(inside);
    EXPECT_EQ(reg().UnloadHive(kUsers, u"Busy"), kErrorAccessDenied);
  }
  EXPECT_EQ(reg().UnloadHive(kUsers, u"Busy"), kErrorSuccess);
  EXPECT_EQ(reg().OpenHandleCount(), 0u);
}

TEST_F(SimRegistryTest, ClassesRootIsAViewOfMachineClasses) {
  ASSERT_TRUE(reg().Put(platform::kClassesRoot, u".txt", u"", RegValue::FromText(u"txtfile")));
  EXPECT_EQ(reg().Get(kLocalMachine, u"Software\\Classes\\.TXT", u"").value_or(RegValue{}).AsText(),
            u"txtfile");
}

TEST_F(SimRegistryTest, CurrentUserIsTheUsersKeyOfTheCurrentSid) {
  reg().SetCurrentUserKey(u"S-1-5-21-1-2-3-1001");
  ASSERT_TRUE(reg().Put(kCurrentUser, u"Software\\Tarn", u"X", RegValue::FromDword(1)));
  EXPECT_TRUE(reg().Get(kUsers, u"S-1-5-21-1-2-3-1001\\Software\\Tarn", u"X"));
}

TEST_F(SimRegistryTest, KeysDirectlyBelowMachineAndUsersCannotBeCreated) {
  EXPECT_EQ(reg().CreateKey(kLocalMachine, u"NewRoot", kKeyAllAccess).error(), kErrorAccessDenied);
  EXPECT_EQ(reg().CreateKey(kUsers, u"NewUser", kKeyAllAccess).error(), kErrorAccessDenied);
  EXPECT_EQ(reg().CreateKey(kCurrentUser, u"\\Leading", kKeyAllAccess).error(), kErrorBadPathname);
}

TEST_F(SimRegistryTest, SubkeysEnumerateSortedAndValuesInTheirOrderOfCreation) {
  ScopedKey key = ScopedKey::Create(reg(), kCurrentUser, u"Order", kKeyAllAccess);
  for (const char16_t* name : {u"b", u"C", u"a"}) {
    ASSERT_TRUE(ScopedKey::Create(reg(), key.get(), name, kKeyRead));
    ASSERT_EQ(reg().SetValue(key.get(), name, RegValue::FromDword(0)), kErrorSuccess);
  }
  EXPECT_EQ(*reg().EnumKey(key.get(), 0), u"a");
  EXPECT_EQ(*reg().EnumKey(key.get(), 1), u"b");
  EXPECT_EQ(*reg().EnumKey(key.get(), 2), u"C");
  EXPECT_EQ(reg().EnumValue(key.get(), 0)->first, u"b");
  EXPECT_EQ(reg().EnumValue(key.get(), 2)->first, u"a");
}

TEST_F(SimRegistryTest, DeleteTreeBelowANestedPathKeepsTheKeysAboveAndBeside) {
  ASSERT_TRUE(reg().Put(kCurrentUser, u"T\\A\\B\\C", u"x", RegValue::FromDword(1)));
  ASSERT_TRUE(reg().Put(kCurrentUser, u"T\\A\\Side", u"y", RegValue::FromDword(2)));
  ASSERT_TRUE(reg().Put(kCurrentUser, u"T\\A", u"z", RegValue::FromDword(3)));
  EXPECT_EQ(reg().DeleteTree(kCurrentUser, u"t\\a\\b"), kErrorSuccess);
  EXPECT_FALSE(reg().KeyExists(kCurrentUser, u"T\\A\\B"));
  EXPECT_TRUE(reg().Get(kCurrentUser, u"T\\A\\Side", u"y"));
  EXPECT_TRUE(reg().Get(kCurrentUser, u"T\\A", u"z"));
  EXPECT_EQ(reg().DeleteTree(kCurrentUser, u"T\\A\\B"), kErrorFileNotFound);
  EXPECT_EQ(reg().DeleteTree(kCurrentUser, u"T\\Missing\\B"), kErrorFileNotFound);
}

TEST_F(SimRegistryTest, DeleteTreeRefusesAHiveRootAndTheMachineRoot) {
  EnableHivePrivileges();
  const Text file = MakeHiveFile(u"C:\\hive.dat");
  ASSERT_EQ(reg().LoadHive(kUsers, u"Loaded", file), kErrorSuccess);
  EXPECT_EQ(reg().DeleteTree(kUsers, u"Loaded"), kErrorAccessDenied);
  EXPECT_TRUE(reg().KeyExists(kUsers, u"Loaded\\Software\\Tarn"));
  EXPECT_EQ(reg().DeleteTree(kLocalMachine, u""), kErrorAccessDenied);
  EXPECT_TRUE(reg().KeyExists(kLocalMachine, u"SOFTWARE"));
  EXPECT_EQ(reg().UnloadHive(kUsers, u"Loaded"), kErrorSuccess);
}

TEST_F(SimRegistryTest, SettingAValueAgainKeepsItsPlaceAndTheFirstSpelling) {
  ScopedKey key = ScopedKey::Create(reg(), kCurrentUser, u"Values", kKeyAllAccess);
  ASSERT_EQ(reg().SetValue(key.get(), u"First", RegValue::FromDword(1)), kErrorSuccess);
  ASSERT_TRUE(reg().Put(kCurrentUser, u"Values", u"Second", RegValue::FromDword(2)));
  ASSERT_TRUE(reg().Put(kCurrentUser, u"Values", u"FIRST", RegValue::FromDword(3)));
  ASSERT_EQ(reg().SetValue(key.get(), u"second", RegValue::FromDword(4)), kErrorSuccess);
  EXPECT_EQ(reg().EnumValue(key.get(), 0)->first, u"First");
  EXPECT_EQ(reg().EnumValue(key.get(), 0)->second.AsDword(), std::optional<uint32_t>(3));
  EXPECT_EQ(reg().EnumValue(key.get(), 1)->first, u"Second");
  EXPECT_EQ(reg().EnumValue(key.get(), 1)->second.AsDword(), std::optional<uint32_t>(4));
  EXPECT_EQ(reg().EnumValue(key.get(), 2).error(), kErrorNoMoreItems);
}

TEST_F(SimRegistryTest, UnknownHandlesAreInvalidAndRootsNeverClose) {
  EXPECT_EQ(reg().QueryValue(0x12345, u"x").error(), kErrorInvalidHandle);
  reg().CloseKey(kLocalMachine);
  EXPECT_TRUE(reg().KeyExists(kLocalMachine, u"SOFTWARE"));
  ScopedKey key = ScopedKey::Open(reg(), kLocalMachine, u"software", kKeyRead);
  EXPECT_EQ(reg().OpenHandleCount(), 1u);
  const platform::RegKey handle = key.get();
  key.Reset();
  EXPECT_EQ(reg().OpenHandleCount(), 0u);
  EXPECT_EQ(reg().EnumKey(handle, 0).error(), kErrorInvalidHandle);
}

TEST_F(SimRegistryTest, HiveFormatRoundTripsAndRejectsEveryTruncation) {
  ASSERT_TRUE(reg().Put(kCurrentUser, u"T\\A\\B", u"s", RegValue::FromText(u"x")));
  ASSERT_TRUE(reg().Put(kCurrentUser, u"T\\A", u"d", RegValue::FromDword(3)));
  ScopedKey key = ScopedKey::Open(reg(), kCurrentUser, u"T", kKeyRead);
  EnableHivePrivileges();
  ASSERT_EQ(reg().SaveKey(key.get(), u"C:\\t.dat"), kErrorSuccess);
  const std::vector<uint8_t> bytes = *machine_.files().ReadAll(u"C:\\t.dat");
  auto parsed = ParseHive(bytes, u"T");
  ASSERT_NE(parsed, nullptr);
  EXPECT_EQ(SerializeHive(*parsed), bytes);
  for (size_t length = 0; length < bytes.size(); ++length) {
    EXPECT_EQ(ParseHive(std::span(bytes.data(), length), u"T"), nullptr) << length;
  }
  std::vector<uint8_t> longer = bytes;
  longer.push_back(0);
  EXPECT_EQ(ParseHive(longer, u"T"), nullptr);
}

TEST_F(SimRegistryTest, HiveNamesKeepEveryUtf16UnitInLittleEndianOrder) {
  SimRegistry::Key root;
  root.name = Text(u"R\u0100");
  const Text valueName = Text(u"\u4e2d") + u'\0' + u"\U0001F600";
  root.SetValue(valueName, RegValue::FromDword(7));
  const std::vector<uint8_t> bytes = SerializeHive(root);
  // After the magic and the version: the root's name length and its units.
  const std::vector<uint8_t> nameBytes(bytes.begin() + 12, bytes.begin() + 20);
  EXPECT_EQ(nameBytes, (std::vector<uint8_t>{2, 0, 0, 0, 'R', 0, 0x00, 0x01}));
  auto parsed = ParseHive(bytes, u"R");
  ASSERT_NE(parsed, nullptr);
  ASSERT_EQ(parsed->values.size(), 1u);
  EXPECT_EQ(parsed->values[0].first, valueName);
  EXPECT_EQ(parsed->values[0].second.AsDword(), std::optional<uint32_t>(7));
}

}  // namespace
}  // namespace tarn::sim
