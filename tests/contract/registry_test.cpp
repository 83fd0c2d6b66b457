// The registry contract: both backends answer these cases the same way.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

#include "contract/backend.h"
#include "platform/file_system.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace tarn::contract {
namespace {

using platform::kCurrentUser;
using platform::kKeyAllAccess;
using platform::kKeyRead;
using platform::RegKey;
using platform::RegValue;
using platform::ScopedKey;

constexpr WinError kErrorKeyDeleted = 1018;

RegValue Bytes(uint32_t type, std::vector<uint8_t> data) {
  return RegValue{type, std::move(data)};
}

// A test key of its own under HKCU\Software\TarnContractTests, removed with
// everything in it when the test ends, however it ends.
class RegistryContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    registry_ = backend_->platform().registry;
    ASSERT_NE(registry_, nullptr);
    std::random_device random;
    path_ = u"Software\\TarnContractTests\\" +
            FromUtf8(::testing::UnitTest::GetInstance()->current_test_info()->name()) + u"-" +
            DecimalText(random());
    WinError error = 0;
    key_ = ScopedKey::Create(*registry_, kCurrentUser, path_, kKeyAllAccess, &error);
    ASSERT_TRUE(key_) << "creating the test key failed with " << error;
  }

  void TearDown() override {
    key_.Reset();
    if (registry_) {
      (void)registry_->DeleteTree(kCurrentUser, path_);
      // The shared parent goes when no other run still uses it.
      ScopedKey parent =
          ScopedKey::Open(*registry_, kCurrentUser, u"Software\\TarnContractTests", kKeyRead);
      if (parent && !registry_->EnumKey(parent.get(), 0)) {
        parent.Reset();
        (void)registry_->DeleteTree(kCurrentUser, u"Software\\TarnContractTests");
      }
    }
  }

  // Every subkey name of `key`, in enumeration order.
  std::vector<Text> SubkeyNames(RegKey key) {
    std::vector<Text> names;
    for (uint32_t i = 0;; ++i) {
      auto name = registry_->EnumKey(key, i);
      if (!name) {
        EXPECT_EQ(name.error(), kErrorNoMoreItems);
        return names;
      }
      names.push_back(*name);
    }
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::Registry* registry_ = nullptr;
  Text path_;
  ScopedKey key_;
};

TEST_F(RegistryContract, ValuesOfEveryTypeRoundTrip) {
  struct Row {
    const char* label;
    const char16_t* name;
    RegValue value;
  } rows[] = {
      {"sz", u"Text", RegValue::FromText(u"hello world")},
      {"empty sz", u"Empty", RegValue::FromText(u"")},
      {"expand sz", u"Expand", RegValue::FromText(u"%SystemRoot%\\x", platform::kRegExpandSz)},
      {"multi sz", u"Multi",
       Bytes(platform::kRegMultiSz, {'a', 0, 0, 0, 'b', 0, 'c', 0, 0, 0, 0, 0})},
      {"dword", u"Number", RegValue::FromDword(0xDEADBEEF)},
      {"binary", u"Blob", Bytes(platform::kRegBinary, {0, 1, 2, 0xFF})},
      {"qword", u"Big", Bytes(platform::kRegQword, {1, 2, 3, 4, 5, 6, 7, 8})},
      {"none", u"Nothing", Bytes(platform::kRegNone, {})},
  };
  for (const Row& row : rows) {
    ASSERT_EQ(registry_->SetValue(key_.get(), row.name, row.value), kErrorSuccess) << row.label;
  }
  for (const Row& row : rows) {
    auto read = registry_->QueryValue(key_.get(), row.name);
    ASSERT_TRUE(read) << row.label << ": error " << read.error();
    EXPECT_EQ(read->type, row.value.type) << row.label;
    EXPECT_EQ(read->data, row.value.data) << row.label;
  }
  EXPECT_EQ(registry_->QueryValue(key_.get(), u"Number").value_or({}).AsDword(), 0xDEADBEEFu);
}

TEST_F(RegistryContract, KeyAndValueNamesIgnoreCase) {
  ScopedKey child = ScopedKey::Create(*registry_, key_.get(), u"MixedCase\\Child", kKeyAllAccess);
  ASSERT_TRUE(child);
  ASSERT_EQ(registry_->SetValue(child.get(), u"ValueName", RegValue::FromText(u"v1")), 0u);
  ScopedKey again = ScopedKey::Open(*registry_, key_.get(), u"MIXEDCASE\\child", kKeyAllAccess);
  ASSERT_TRUE(again);
  auto value = registry_->QueryValue(again.get(), u"VALUENAME");
  ASSERT_TRUE(value) << value.error();
  EXPECT_EQ(ToUtf8(value->AsText()), "v1");
  // Writing under another case replaces the value rather than adding one.
  ASSERT_EQ(registry_->SetValue(again.get(), u"valuename", RegValue::FromText(u"v2")), 0u);
  EXPECT_EQ(ToUtf8(registry_->QueryValue(child.get(), u"ValueName").value_or({}).AsText()), "v2");
  EXPECT_FALSE(registry_->EnumValue(child.get(), 1)) << "a second value appeared";
  // The stored case is the one the key was created with.
  ScopedKey mixed = ScopedKey::Open(*registry_, key_.get(), u"mixedcase", kKeyRead);
  EXPECT_EQ(SubkeyNames(mixed.get()), std::vector<Text>{u"Child"});
}

TEST_F(RegistryContract, DefaultValueIsTheEmptyName) {
  auto missing = registry_->QueryValue(key_.get(), u"");
  EXPECT_EQ(missing.error(), kErrorFileNotFound);
  ASSERT_EQ(registry_->SetValue(key_.get(), u"", RegValue::FromText(u"default")), 0u);
  auto value = registry_->QueryValue(key_.get(), u"");
  ASSERT_TRUE(value) << value.error();
  EXPECT_EQ(ToUtf8(value->AsText()), "default");
}

TEST_F(RegistryContract, MissingKeysAndValuesGiveFileNotFound) {
  struct Row {
    const char* label;
    WinError error;
  } rows[] = {
      {"open missing key", registry_->OpenKey(key_.get(), u"Nope", kKeyRead).error()},
      {"open below missing key", registry_->OpenKey(key_.get(), u"Nope\\Deeper", kKeyRead).error()},
      {"query missing value", registry_->QueryValue(key_.get(), u"Nope").error()},
      {"delete missing value", registry_->DeleteValue(key_.get(), u"Nope")},
      {"delete missing tree", registry_->DeleteTree(key_.get(), u"Nope")},
  };
  for (const Row& row : rows) EXPECT_EQ(row.error, kErrorFileNotFound) << row.label;
}

TEST_F(RegistryContract, EnumerationListsEverySubkeyAndValueOnce) {
  for (const char16_t* name : {u"bravo", u"Alpha", u"charlie"}) {
    ScopedKey child = ScopedKey::Create(*registry_, key_.get(), name, kKeyAllAccess);
    ASSERT_TRUE(child);
  }
  for (const char16_t* name : {u"Zulu", u"yankee", u"X-ray"}) {
    ASSERT_EQ(registry_->SetValue(key_.get(), name, RegValue::FromDword(7)), 0u);
  }
  const std::vector<Text> keys = SubkeyNames(key_.get());
  EXPECT_EQ(std::set<Text>(keys.begin(), keys.end()),
            (std::set<Text>{u"Alpha", u"bravo", u"charlie"}));
  EXPECT_EQ(keys.size(), 3u);
  std::set<Text> values;
  uint32_t index = 0;
  for (;; ++index) {
    auto entry = registry_->EnumValue(key_.get(), index);
    if (!entry) {
      EXPECT_EQ(entry.error(), kErrorNoMoreItems);
      break;
    }
    EXPECT_EQ(entry->second.AsDword(), 7u) << ToUtf8(entry->first);
    values.insert(entry->first);
  }
  EXPECT_EQ(index, 3u);
  EXPECT_EQ(values, (std::set<Text>{u"Zulu", u"yankee", u"X-ray"}));
}

TEST_F(RegistryContract, DeleteValueRemovesOnlyThatValue) {
  ASSERT_EQ(registry_->SetValue(key_.get(), u"Keep", RegValue::FromDword(1)), 0u);
  ASSERT_EQ(registry_->SetValue(key_.get(), u"Drop", RegValue::FromDword(2)), 0u);
  EXPECT_EQ(registry_->DeleteValue(key_.get(), u"DROP"), kErrorSuccess);
  EXPECT_EQ(registry_->QueryValue(key_.get(), u"Drop").error(), kErrorFileNotFound);
  EXPECT_TRUE(registry_->QueryValue(key_.get(), u"Keep"));
}

TEST_F(RegistryContract, DeleteTreeRemovesTheWholeSubtree) {
  {
    ScopedKey deep =
        ScopedKey::Create(*registry_, key_.get(), u"Top\\Middle\\Bottom", kKeyAllAccess);
    ASSERT_TRUE(deep);
    ASSERT_EQ(registry_->SetValue(deep.get(), u"V", RegValue::FromDword(1)), 0u);
  }
  ScopedKey sibling = ScopedKey::Create(*registry_, key_.get(), u"Sibling", kKeyAllAccess);
  ASSERT_TRUE(sibling);
  EXPECT_EQ(registry_->DeleteTree(key_.get(), u"top"), kErrorSuccess);
  EXPECT_EQ(registry_->OpenKey(key_.get(), u"Top", kKeyRead).error(), kErrorFileNotFound);
  EXPECT_EQ(SubkeyNames(key_.get()), std::vector<Text>{u"Sibling"});
}

TEST_F(RegistryContract, DeleteTreeWithoutSubkeyEmptiesTheKeyButKeepsIt) {
  ASSERT_EQ(registry_->SetValue(key_.get(), u"V", RegValue::FromDword(1)), 0u);
  {
    ScopedKey child =
        ScopedKey::Create(*registry_, key_.get(), u"Child\\Grandchild", kKeyAllAccess);
    ASSERT_TRUE(child);
  }
  EXPECT_EQ(registry_->DeleteTree(key_.get(), u""), kErrorSuccess);
  EXPECT_TRUE(SubkeyNames(key_.get()).empty());
  EXPECT_EQ(registry_->EnumValue(key_.get(), 0).error(), kErrorNoMoreItems);
  ScopedKey stillThere = ScopedKey::Open(*registry_, kCurrentUser, path_, kKeyRead);
  EXPECT_TRUE(stillThere);
}

TEST_F(RegistryContract, HandleToADeletedKeyReportsKeyDeleted) {
  ScopedKey doomed = ScopedKey::Create(*registry_, key_.get(), u"Doomed", kKeyAllAccess);
  ASSERT_TRUE(doomed);
  ASSERT_EQ(registry_->DeleteTree(key_.get(), u"Doomed"), kErrorSuccess);
  EXPECT_EQ(registry_->SetValue(doomed.get(), u"V", RegValue::FromDword(1)), kErrorKeyDeleted);
  EXPECT_EQ(registry_->QueryValue(doomed.get(), u"V").error(), kErrorKeyDeleted);
}

TEST_F(RegistryContract, ReadOnlyHandleCannotWrite) {
  ScopedKey reader = ScopedKey::Open(*registry_, kCurrentUser, path_, kKeyRead);
  ASSERT_TRUE(reader);
  EXPECT_EQ(registry_->SetValue(reader.get(), u"V", RegValue::FromDword(1)), kErrorAccessDenied);
  EXPECT_EQ(registry_->QueryValue(key_.get(), u"V").error(), kErrorFileNotFound);
}

TEST_F(RegistryContract, CreateKeyOpensAnExistingKey) {
  ASSERT_EQ(registry_->SetValue(key_.get(), u"Marker", RegValue::FromDword(42)), 0u);
  ScopedKey same = ScopedKey::Create(*registry_, kCurrentUser, path_, kKeyAllAccess);
  ASSERT_TRUE(same);
  EXPECT_EQ(registry_->QueryValue(same.get(), u"Marker").value_or({}).AsDword(), 42u);
}

// Saves the test key, with a subkey "Inner" holding Name = "saved", to a
// new hive file and returns the file's path.
Text SaveTestHive(ContractBackend& backend, platform::Registry& registry, RegKey key) {
  platform::Services& services = *backend.platform().services;
  EXPECT_EQ(services.EnablePrivileges({u"SeBackupPrivilege", u"SeRestorePrivilege"}), 0u);
  ScopedKey sub = ScopedKey::Create(registry, key, u"Inner", kKeyAllAccess);
  EXPECT_TRUE(sub);
  EXPECT_EQ(registry.SetValue(sub.get(), u"Name", RegValue::FromText(u"saved")), 0u);
  const Text file = backend.ScratchFolder() + u"\\hive.dat";
  EXPECT_EQ(registry.SaveKey(key, file), kErrorSuccess);
  return file;
}

TEST_F(RegistryContract, SavedKeyLoadsAsAHiveAndUnloads) {
  const Text file = SaveTestHive(*backend_, *registry_, key_.get());
  const Text mount = u"TarnContractHive" + path_.substr(path_.rfind(u'-'));
  ASSERT_EQ(registry_->LoadHive(platform::kUsers, mount, file), kErrorSuccess);
  {
    ScopedKey inner = ScopedKey::Open(*registry_, platform::kUsers, mount + u"\\inner", kKeyRead);
    ASSERT_TRUE(inner);
    auto name = registry_->QueryValue(inner.get(), u"NAME");
    ASSERT_TRUE(name) << name.error();
    EXPECT_EQ(ToUtf8(name->AsText()), "saved");
  }
  ASSERT_EQ(registry_->UnloadHive(platform::kUsers, mount), kErrorSuccess);
  EXPECT_EQ(registry_->OpenKey(platform::kUsers, mount, kKeyRead).error(), kErrorFileNotFound);
}

TEST_F(RegistryContract, SaveKeyKeepsExistingFilesAndUnloadKeepsChanges) {
  if (backend_->UnderWine()) {
    GTEST_SKIP() << "Wine overwrites an existing file in RegSaveKeyW and does not write a "
                    "loaded hive back when it is unloaded";
  }
  const Text file = SaveTestHive(*backend_, *registry_, key_.get());
  EXPECT_EQ(registry_->SaveKey(key_.get(), file), kErrorAlreadyExists);
  const Text mount = u"TarnContractHive" + path_.substr(path_.rfind(u'-'));
  ASSERT_EQ(registry_->LoadHive(platform::kUsers, mount, file), kErrorSuccess);
  {
    ScopedKey inner =
        ScopedKey::Open(*registry_, platform::kUsers, mount + u"\\Inner", kKeyAllAccess);
    ASSERT_TRUE(inner);
    ASSERT_EQ(registry_->SetValue(inner.get(), u"Added", RegValue::FromDword(5)), 0u);
  }
  ASSERT_EQ(registry_->UnloadHive(platform::kUsers, mount), kErrorSuccess);
  ASSERT_EQ(registry_->LoadHive(platform::kUsers, mount, file), kErrorSuccess);
  {
    ScopedKey inner = ScopedKey::Open(*registry_, platform::kUsers, mount + u"\\Inner", kKeyRead);
    ASSERT_TRUE(inner);
    EXPECT_EQ(registry_->QueryValue(inner.get(), u"Added").value_or({}).AsDword(), 5u);
  }
  EXPECT_EQ(registry_->UnloadHive(platform::kUsers, mount), kErrorSuccess);
}

TEST_F(RegistryContract, LoadingAMissingHiveFileMakesItAndUnloadWaitsForHandles) {
  if (backend_->UnderWine()) {
    GTEST_SKIP() << "Wine answers a missing hive file with 2 instead of making it, and unloads "
                    "a hive with handles open";
  }
  ASSERT_EQ(backend_->platform().services->EnablePrivileges(
                {u"SeBackupPrivilege", u"SeRestorePrivilege"}),
            kErrorSuccess);
  const Text file = backend_->ScratchFolder() + u"\\new-hive.dat";
  const Text mount = u"TarnContractNewHive" + path_.substr(path_.rfind(u'-'));
  ASSERT_EQ(registry_->LoadHive(platform::kUsers, mount, file), kErrorSuccess);
  EXPECT_NE(backend_->platform().files->GetAttributes(file), platform::kInvalidFileAttributes);
  {
    ScopedKey root = ScopedKey::Open(*registry_, platform::kUsers, mount, kKeyRead);
    ASSERT_TRUE(root);
    EXPECT_EQ(registry_->EnumKey(root.get(), 0).error(), kErrorNoMoreItems);
    EXPECT_EQ(registry_->UnloadHive(platform::kUsers, mount), kErrorAccessDenied);
  }
  EXPECT_EQ(registry_->UnloadHive(platform::kUsers, mount), kErrorSuccess);
}

}  // namespace
}  // namespace tarn::contract
