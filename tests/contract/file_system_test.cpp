// The file system contract: both backends answer these cases the same way.
#include <gtest/gtest.h>

#include <set>

#include "contract/backend.h"
#include "platform/file_system.h"

namespace tarn::contract {
namespace {

using platform::kFileAttributeDirectory;
using platform::kFileAttributeHidden;
using platform::kFileAttributeReadOnly;
using platform::kInvalidFileAttributes;

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

class FileSystemContract : public ::testing::Test {
 protected:
  void SetUp() override {
    backend_ = MakeContractBackend();
    files_ = backend_->platform().files;
    ASSERT_NE(files_, nullptr);
    scratch_ = backend_->ScratchFolder();
    ASSERT_TRUE(files_->IsDirectory(scratch_)) << ToUtf8(scratch_);
  }

  Text In(TextView name) const { return scratch_ + u'\\' + Text(name); }

  std::unique_ptr<ContractBackend> backend_;
  platform::FileSystem* files_ = nullptr;
  Text scratch_;
};

TEST_F(FileSystemContract, WrittenFileReadsBackWithItsSize) {
  ASSERT_EQ(files_->WriteAll(In(u"data.bin"), Bytes(std::string_view("hello\0world", 11))),
            kErrorSuccess);
  auto read = files_->ReadAll(In(u"data.bin"));
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(*read, Bytes(std::string_view("hello\0world", 11)));
  auto info = files_->GetInfo(In(u"data.bin"));
  ASSERT_TRUE(info) << info.error();
  EXPECT_EQ(info->size, 11u);
  EXPECT_EQ(info->attributes & kFileAttributeDirectory, 0u);
  EXPECT_NE(info->lastWriteTime, 0u);
  // Writing again truncates.
  ASSERT_EQ(files_->WriteAll(In(u"data.bin"), Bytes("x")), kErrorSuccess);
  EXPECT_EQ(files_->ReadAll(In(u"data.bin")).value_or({}), Bytes("x"));
}

TEST_F(FileSystemContract, OpenFileAppendsEachWrite) {
  {
    auto file = files_->CreateAlways(In(u"log.txt"), /*writeThrough=*/true);
    ASSERT_TRUE(file) << file.error();
    ASSERT_EQ((*file)->Write(Bytes("one ")), kErrorSuccess);
    ASSERT_EQ((*file)->Write(Bytes("two")), kErrorSuccess);
  }
  EXPECT_EQ(files_->ReadAll(In(u"log.txt")).value_or({}), Bytes("one two"));
}

TEST_F(FileSystemContract, FileOpenedForReadingGivesAnyRange) {
  ASSERT_EQ(files_->WriteAll(In(u"digits.txt"), Bytes("0123456789")), kErrorSuccess);
  auto file = files_->OpenForReading(In(u"DIGITS.TXT"));
  ASSERT_TRUE(file) << file.error();
  EXPECT_EQ((*file)->Size(), 10u);
  const auto range = [&](uint64_t offset, size_t count) {
    std::vector<uint8_t> buffer(count, '?');
    const auto read = (*file)->ReadAt(offset, buffer);
    EXPECT_TRUE(read) << offset << ": error " << read.error();
    buffer.resize(read.value_or(0));
    return std::string(buffer.begin(), buffer.end());
  };
  EXPECT_EQ(range(3, 4), "3456");
  EXPECT_EQ(range(8, 5), "89");
  EXPECT_EQ(range(20, 3), "");
  // A read that met the end does not spoil the next one.
  EXPECT_EQ(range(0, 10), "0123456789");
  EXPECT_EQ(range(9, 1), "9");

  ASSERT_EQ(files_->CreateDirectory(In(u"Folder")), kErrorSuccess);
  EXPECT_EQ(files_->OpenForReading(In(u"none.txt")).error(), kErrorFileNotFound);
  EXPECT_EQ(files_->OpenForReading(In(u"none\\x.txt")).error(), kErrorPathNotFound);
  EXPECT_EQ(files_->OpenForReading(In(u"Folder")).error(), kErrorAccessDenied);
}

TEST_F(FileSystemContract, NamesIgnoreCaseAndEitherSeparatorWorks) {
  ASSERT_EQ(files_->CreateDirectory(In(u"Folder")), kErrorSuccess);
  ASSERT_EQ(files_->WriteAll(In(u"Folder\\Report.TXT"), Bytes("r")), kErrorSuccess);
  struct Row {
    const char16_t* path;
  } rows[] = {{u"folder\\report.txt"},
              {u"FOLDER\\REPORT.TXT"},
              {u"Folder/Report.txt"},
              {u"Folder\\.\\report.txt"},
              {u"Folder\\..\\Folder\\report.txt"}};
  for (const Row& row : rows) {
    EXPECT_TRUE(files_->Exists(In(row.path))) << ToUtf8(row.path);
    auto read = files_->ReadAll(In(row.path));
    EXPECT_TRUE(read) << ToUtf8(row.path) << ": " << read.error();
  }
  EXPECT_EQ(files_->CreateDirectory(In(u"FOLDER")), kErrorAlreadyExists);
}

TEST_F(FileSystemContract, ErrorsDistinguishMissingFilesFromMissingPaths) {
  ASSERT_EQ(files_->WriteAll(In(u"file.txt"), Bytes("f")), kErrorSuccess);
  ASSERT_EQ(files_->CreateDirectory(In(u"Full")), kErrorSuccess);
  ASSERT_EQ(files_->WriteAll(In(u"Full\\inside.txt"), Bytes("i")), kErrorSuccess);
  struct Row {
    const char* label;
    WinError actual;
    WinError expected;
  } rows[] = {
      {"read missing file", files_->ReadAll(In(u"none.txt")).error(), kErrorFileNotFound},
      {"read in missing folder", files_->ReadAll(In(u"none\\x.txt")).error(), kErrorPathNotFound},
      {"delete missing file", files_->DeleteFile(In(u"none.txt")), kErrorFileNotFound},
      {"create dir in missing folder", files_->CreateDirectory(In(u"none\\sub")),
       kErrorPathNotFound},
      {"create existing dir", files_->CreateDirectory(In(u"Full")), kErrorAlreadyExists},
      {"create dir over a file", files_->CreateDirectory(In(u"file.txt")), kErrorAlreadyExists},
      {"remove non-empty dir", files_->RemoveDirectory(In(u"Full")), kErrorDirNotEmpty},
      {"remove missing dir", files_->RemoveDirectory(In(u"none")), kErrorFileNotFound},
      {"write in missing folder", files_->WriteAll(In(u"none\\x.txt"), Bytes("x")),
       kErrorPathNotFound},
      {"list missing folder", files_->ListDirectory(In(u"none")).error(), kErrorPathNotFound},
      {"copy onto existing", files_->CopyFile(In(u"file.txt"), In(u"Full\\inside.txt"), true),
       kErrorFileExists},
      {"move onto existing", files_->MoveFile(In(u"file.txt"), In(u"Full\\inside.txt")),
       kErrorAlreadyExists},
      {"copy missing", files_->CopyFile(In(u"none.txt"), In(u"copy.txt"), false),
       kErrorFileNotFound},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected) << row.label;
  EXPECT_EQ(files_->GetAttributes(In(u"none.txt")), kInvalidFileAttributes);
  EXPECT_FALSE(files_->Exists(In(u"copy.txt")));
}

TEST_F(FileSystemContract, ListingShowsEveryEntryOnceWithItsStoredName) {
  ASSERT_EQ(files_->WriteAll(In(u"bravo.txt"), Bytes("12345")), kErrorSuccess);
  ASSERT_EQ(files_->WriteAll(In(u"Alpha.TXT"), Bytes("1")), kErrorSuccess);
  ASSERT_EQ(files_->CreateDirectory(In(u"Sub")), kErrorSuccess);
  auto listing = files_->ListDirectory(scratch_);
  ASSERT_TRUE(listing) << listing.error();
  std::set<Text> names;
  for (const auto& entry : *listing) {
    names.insert(entry.name);
    const bool directory = (entry.info.attributes & kFileAttributeDirectory) != 0;
    EXPECT_EQ(directory, entry.name == u"Sub") << ToUtf8(entry.name);
    if (entry.name == u"bravo.txt") {
      EXPECT_EQ(entry.info.size, 5u);
    }
  }
  EXPECT_EQ(listing->size(), 3u);
  EXPECT_EQ(names, (std::set<Text>{u"Alpha.TXT", u"bravo.txt", u"Sub"}));
  auto empty = files_->ListDirectory(In(u"Sub"));
  ASSERT_TRUE(empty) << empty.error();
  EXPECT_TRUE(empty->empty());
}

TEST_F(FileSystemContract, AttributesAreKeptAndReadOnlyFilesResistDeletion) {
  ASSERT_EQ(files_->WriteAll(In(u"guarded.txt"), Bytes("g")), kErrorSuccess);
  ASSERT_EQ(
      files_->SetAttributes(In(u"guarded.txt"), kFileAttributeReadOnly | kFileAttributeHidden),
      kErrorSuccess);
  const uint32_t attributes = files_->GetAttributes(In(u"guarded.txt"));
  EXPECT_EQ(attributes & (kFileAttributeReadOnly | kFileAttributeHidden),
            kFileAttributeReadOnly | kFileAttributeHidden)
      << attributes;
  EXPECT_EQ(files_->DeleteFile(In(u"guarded.txt")), kErrorAccessDenied);
  ASSERT_EQ(files_->SetAttributes(In(u"guarded.txt"), platform::kFileAttributeNormal),
            kErrorSuccess);
  EXPECT_EQ(
      files_->GetAttributes(In(u"guarded.txt")) & (kFileAttributeReadOnly | kFileAttributeHidden),
      0u);
  EXPECT_EQ(files_->DeleteFile(In(u"guarded.txt")), kErrorSuccess);
  EXPECT_FALSE(files_->Exists(In(u"guarded.txt")));
  EXPECT_TRUE(files_->IsDirectory(scratch_));
}

TEST_F(FileSystemContract, CopyAndMoveCarryTheContents) {
  ASSERT_EQ(files_->WriteAll(In(u"source.txt"), Bytes("payload")), kErrorSuccess);
  ASSERT_EQ(files_->CopyFile(In(u"source.txt"), In(u"copy.txt"), true), kErrorSuccess);
  ASSERT_EQ(files_->MoveFile(In(u"source.txt"), In(u"moved.txt")), kErrorSuccess);
  EXPECT_FALSE(files_->Exists(In(u"source.txt")));
  EXPECT_EQ(files_->ReadAll(In(u"copy.txt")).value_or({}), Bytes("payload"));
  EXPECT_EQ(files_->ReadAll(In(u"moved.txt")).value_or({}), Bytes("payload"));
  ASSERT_EQ(files_->CreateDirectory(In(u"Dir")), kErrorSuccess);
  ASSERT_EQ(files_->MoveFile(In(u"Dir"), In(u"Renamed")), kErrorSuccess);
  EXPECT_TRUE(files_->IsDirectory(In(u"Renamed")));
  EXPECT_FALSE(files_->Exists(In(u"Dir")));
}

TEST_F(FileSystemContract, ReplaceFileTakesThePlaceOfAnExistingFile) {
  ASSERT_EQ(files_->WriteAll(In(u"new.tmp"), Bytes("new")), kErrorSuccess);
  ASSERT_EQ(files_->WriteAll(In(u"result.json"), Bytes("old contents")), kErrorSuccess);
  EXPECT_EQ(files_->ReplaceFile(In(u"new.tmp"), In(u"result.json")), kErrorSuccess);
  EXPECT_FALSE(files_->Exists(In(u"new.tmp")));
  EXPECT_EQ(files_->ReadAll(In(u"result.json")).value_or({}), Bytes("new"));
  ASSERT_EQ(files_->WriteAll(In(u"first.tmp"), Bytes("1")), kErrorSuccess);
  EXPECT_EQ(files_->ReplaceFile(In(u"first.tmp"), In(u"fresh.json")), kErrorSuccess);
  EXPECT_EQ(files_->ReadAll(In(u"fresh.json")).value_or({}), Bytes("1"));
  EXPECT_EQ(files_->ReplaceFile(In(u"none.tmp"), In(u"fresh.json")), kErrorFileNotFound);
  ASSERT_EQ(files_->CreateDirectory(In(u"Folder")), kErrorSuccess);
  ASSERT_EQ(files_->WriteAll(In(u"other.tmp"), Bytes("2")), kErrorSuccess);
  EXPECT_EQ(files_->ReplaceFile(In(u"other.tmp"), In(u"Folder")), kErrorAccessDenied);
}

TEST_F(FileSystemContract, RelativePathsFollowTheCurrentDirectory) {
  const Text before = files_->CurrentDirectory();
  ASSERT_EQ(files_->SetCurrentDirectory(scratch_), kErrorSuccess);
  const Text current = files_->CurrentDirectory();
  const WinError written = files_->WriteAll(u"relative.txt", Bytes("r"));
  const bool visible = files_->Exists(In(u"relative.txt"));
  const WinError toFile = files_->SetCurrentDirectory(u"relative.txt");
  ASSERT_EQ(files_->SetCurrentDirectory(before), kErrorSuccess);
  EXPECT_TRUE(EqualsIgnoreCase(current, scratch_)) << ToUtf8(current);
  EXPECT_EQ(written, kErrorSuccess);
  EXPECT_TRUE(visible);
  EXPECT_EQ(toFile, 267u) << "ERROR_DIRECTORY";
}

TEST_F(FileSystemContract, TheScratchDriveIsAFixedLogicalDrive) {
  ASSERT_GE(scratch_.size(), 3u);
  ASSERT_EQ(scratch_[1], u':');
  const Text root = scratch_.substr(0, 3);
  EXPECT_EQ(files_->DriveType(root), 3u) << ToUtf8(root);
  bool listed = false;
  for (const Text& drive : files_->LogicalDrives()) listed |= EqualsIgnoreCase(drive, root);
  EXPECT_TRUE(listed) << ToUtf8(root);
}

}  // namespace
}  // namespace tarn::contract
