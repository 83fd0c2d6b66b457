// The contract of what the program's output files are made with: files
// created new or appended to, folders created with their own access list,
// and what is known of the volume that holds a path.
#include <gtest/gtest.h>

#include <string_view>

#include "contract/backend.h"
#include "platform/file_system.h"

namespace tarn::contract {
namespace {

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::string Describe(const std::vector<platform::AccessEntry>& entries) {
  std::string text;
  for (const platform::AccessEntry& entry : entries) {
    text += ToUtf8(entry.sid.ToText()) + "/" + std::to_string(entry.flags) + "/" +
            std::to_string(entry.mask) + " ";
  }
  return text;
}

class ProtectedOutputContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    files_ = backend_->platform().files;
    scratch_ = backend_->ScratchFolder();
  }

  std::unique_ptr<ContractBackend> backend_;
  platform::FileSystem* files_ = nullptr;
  Text scratch_;
};

TEST_F(ProtectedOutputContract, CreateNewRefusesANameThatIsTaken) {
  const Text path = scratch_ + u"\\report.tmp";
  {
    auto created = files_->CreateNew(path, /*writeThrough=*/true);
    ASSERT_TRUE(created) << created.error();
    EXPECT_EQ((*created)->Write(Bytes("first")), kErrorSuccess);
  }
  EXPECT_EQ(files_->CreateNew(path, true).error(), kErrorFileExists);
  EXPECT_EQ(files_->CreateNew(scratch_, true).error(), kErrorFileExists) << "a folder is there";
  EXPECT_EQ(*files_->ReadAll(path), Bytes("first"));
}

TEST_F(ProtectedOutputContract, AppendingWritesAfterWhatIsThere) {
  const Text path = scratch_ + u"\\run.log";
  ASSERT_EQ(files_->WriteAll(path, Bytes("earlier;")), kErrorSuccess);
  {
    auto opened = files_->OpenToAppend(path, /*writeThrough=*/true);
    ASSERT_TRUE(opened) << opened.error();
    EXPECT_EQ((*opened)->Write(Bytes("later;")), kErrorSuccess);
    EXPECT_EQ((*opened)->Write(Bytes("last")), kErrorSuccess);
  }
  EXPECT_EQ(*files_->ReadAll(path), Bytes("earlier;later;last"));
  EXPECT_EQ(files_->OpenToAppend(scratch_ + u"\\missing.log", true).error(), kErrorFileNotFound);
}

TEST_F(ProtectedOutputContract, ProtectedFolderHasOnlyItsOwnList) {
  const Text folder = scratch_ + u"\\output";
  constexpr uint8_t kBoth = platform::kAceObjectInherit | platform::kAceContainerInherit;
  const std::vector<platform::AccessEntry> entries = {
      {platform::AdministratorsSid(), kBoth, platform::kFileAllAccess},
      {platform::LocalSystemSid(), kBoth, platform::kFileAllAccess}};
  ASSERT_EQ(files_->CreateProtectedDirectory(folder, entries), kErrorSuccess);
  EXPECT_TRUE(files_->IsDirectory(folder));
  EXPECT_EQ(files_->CreateProtectedDirectory(folder, entries), kErrorAlreadyExists);
  if (backend_->UnderWine()) {
    GTEST_SKIP() << "Wine keeps a folder's access list only where the host file system stores "
                    "extended attributes";
  }
  auto read = files_->GetAccessList(folder);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(Describe(*read), Describe(entries));
}

TEST_F(ProtectedOutputContract, VolumeOfAFolderIsItsFixedDrive) {
  // The path need not exist below the volume's root.
  auto facts = files_->DescribeVolume(scratch_ + u"\\not\\there.ini");
  ASSERT_TRUE(facts) << facts.error();
  EXPECT_TRUE(EqualsIgnoreCase(facts->root, scratch_.substr(0, 3))) << ToUtf8(facts->root);
  EXPECT_EQ(facts->driveType, platform::kDriveTypeFixed);
  EXPECT_FALSE(facts->fileSystem.empty());
}

TEST_F(ProtectedOutputContract, NewFileIsOwnedByAdministratorsOrTheSystem) {
  if (backend_->UnderWine()) {
    GTEST_SKIP() << "Wine makes an owner up from the Unix file's owner";
  }
  const Text path = scratch_ + u"\\owned.txt";
  ASSERT_EQ(files_->WriteAll(path, Bytes("x")), kErrorSuccess);
  auto owner = files_->GetOwner(path);
  ASSERT_TRUE(owner) << owner.error();
  EXPECT_TRUE(*owner == platform::AdministratorsSid() || *owner == platform::LocalSystemSid())
      << ToUtf8(owner->ToText());
}

}  // namespace
}  // namespace tarn::contract
