// The owner and access-list contract of files, folders and registry keys:
// both backends answer these cases the same way.
#include <gtest/gtest.h>

#include <random>

#include "contract/backend.h"
#include "platform/file_system.h"
#include "platform/registry.h"

namespace tarn::contract {
namespace {

using platform::AccessEntry;
using platform::Sid;

Sid NtSid(std::vector<uint32_t> subAuthorities) {
  Sid sid;
  sid.subAuthorities = std::move(subAuthorities);
  return sid;
}

// Administrators, the local system and Users, each with an entry for the
// object and a generic one passed down to everything below it.
std::vector<AccessEntry> ProtectedList() {
  constexpr uint8_t kPassedDown =
      platform::kAceObjectInherit | platform::kAceContainerInherit | platform::kAceInheritOnly;
  std::vector<AccessEntry> entries;
  for (const Sid& sid : {NtSid({32, 544}), NtSid({18}), NtSid({32, 545})}) {
    entries.push_back({sid, 0, platform::kFileAllAccess});
    entries.push_back({sid, kPassedDown, platform::kGenericAll});
  }
  return entries;
}

std::string Describe(const std::vector<AccessEntry>& entries) {
  std::string text;
  for (const AccessEntry& entry : entries) {
    text += ToUtf8(entry.sid.ToText()) + "/" + std::to_string(entry.flags) + "/" +
            std::to_string(entry.mask) + " ";
  }
  return text;
}

class AccessListContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    platform_ = backend_->platform();
    scratch_ = backend_->ScratchFolder();
  }

  // Wine accepts a file's owner and access list but keeps them only where
  // the host file system stores extended attributes; elsewhere it answers
  // a list made up from the Unix mode bits.
  bool FileSecurityIsMadeUp() const { return backend_->UnderWine(); }

  std::unique_ptr<ContractBackend> backend_;
  platform::Platform platform_;
  Text scratch_;
};

TEST_F(AccessListContract, FolderListIsKeptAndPassedToNewFiles) {
  if (FileSecurityIsMadeUp()) GTEST_SKIP() << "Wine does not keep file access lists here";
  platform::FileSystem& files = *platform_.files;
  const Text folder = scratch_ + u"\\profile";
  ASSERT_EQ(files.CreateDirectory(folder), kErrorSuccess);
  const auto entries = ProtectedList();
  ASSERT_EQ(files.SetAccessList(folder, entries), kErrorSuccess);
  auto read = files.GetAccessList(folder);
  ASSERT_TRUE(read.ok()) << read.error();
  EXPECT_EQ(Describe(*read), Describe(entries));

  const std::vector<uint8_t> bytes{1};
  ASSERT_EQ(files.WriteAll(folder + u"\\ntuser.dat", bytes), kErrorSuccess);
  auto inherited = files.GetAccessList(folder + u"\\ntuser.dat");
  ASSERT_TRUE(inherited.ok()) << inherited.error();
  std::vector<AccessEntry> expected;
  for (const Sid& sid : {NtSid({32, 544}), NtSid({18}), NtSid({32, 545})}) {
    expected.push_back({sid, platform::kAceInherited, platform::kFileAllAccess});
  }
  EXPECT_EQ(Describe(*inherited), Describe(expected));
}

TEST_F(AccessListContract, OwnerIsSetOnAFolder) {
  if (FileSecurityIsMadeUp()) GTEST_SKIP() << "Wine does not keep file owners here";
  platform::FileSystem& files = *platform_.files;
  const Text folder = scratch_ + u"\\owned";
  ASSERT_EQ(files.CreateDirectory(folder), kErrorSuccess);
  ASSERT_EQ(files.SetOwner(folder, NtSid({32, 544})), kErrorSuccess);
  auto owner = files.GetOwner(folder);
  ASSERT_TRUE(owner.ok()) << owner.error();
  EXPECT_EQ(ToUtf8(owner->ToText()), "S-1-5-32-544");
  EXPECT_EQ(files.GetOwner(folder + u"\\missing").error(), kErrorFileNotFound);
}

TEST_F(AccessListContract, KeyListIsKeptAndTheKeyFlushes) {
  platform::Registry& registry = *platform_.registry;
  std::random_device random;
  const Text path = u"Software\\TarnContractTests\\AccessList-" + DecimalText(random());
  WinError error = kErrorSuccess;
  platform::ScopedKey key = platform::ScopedKey::Create(registry, platform::kCurrentUser, path,
                                                        platform::kKeyAllAccess, &error);
  ASSERT_TRUE(key) << error;
  const auto entries = ProtectedList();
  EXPECT_EQ(registry.SetKeyAccessList(key.get(), entries), kErrorSuccess);
  auto read = registry.GetKeyAccessList(key.get());
  ASSERT_TRUE(read.ok()) << read.error();
  EXPECT_EQ(Describe(*read), Describe(entries));
  EXPECT_EQ(registry.FlushKey(key.get()), kErrorSuccess);
  platform::ScopedKey reader =
      platform::ScopedKey::Open(registry, platform::kCurrentUser, path, platform::kKeyWrite);
  ASSERT_TRUE(reader);
  EXPECT_EQ(registry.SetKeyAccessList(reader.get(), entries), kErrorAccessDenied)
      << "changing the list needs WRITE_DAC";
  reader.Reset();
  key.Reset();
  (void)registry.DeleteTree(platform::kCurrentUser, path);
}

}  // namespace
}  // namespace tarn::contract
