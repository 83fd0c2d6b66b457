// Behaviour of the simulated file system beyond the contract suite: path
// rules, shares, host folders, times and the rarer error codes.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "platform/sim/sim_file_system.h"

namespace tarn::sim {
namespace {

namespace fs = std::filesystem;
using platform::kFileAttributeDirectory;

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(SimFileSystemTest, PathsAreMadeAbsoluteAndNormalised) {
  SimFileSystem files;
  files.AddVolume(u"D:");
  ASSERT_TRUE(files.MakeDirectories(u"C:\\work\\dir"));
  ASSERT_EQ(files.SetCurrentDirectory(u"C:\\work"), kErrorSuccess);
  struct Row {
    const char16_t* input;
    const char16_t* expected;
  } rows[] = {
      {u"C:/a/./b/../c", u"C:\\a\\c"},
      {u"c:\\A\\\\B\\", u"C:\\A\\B"},
      {u"relative.txt", u"C:\\work\\relative.txt"},
      {u"..\\up", u"C:\\up"},
      {u"..\\..\\..\\above", u"C:\\above"},
      {u"\\rooted", u"C:\\rooted"},
      {u"C:here", u"C:\\work\\here"},
      {u"d:there", u"D:\\there"},
      {u"name.  .", u"C:\\work\\name"},
      {u"\\\\?\\C:\\long", u"C:\\long"},
      {u"\\\\server\\Share\\x", u"\\\\SERVER\\SHARE\\x"},
      {u"\\\\?\\UNC\\server\\share\\y", u"\\\\SERVER\\SHARE\\y"},
      {u"//server/share", u"\\\\SERVER\\SHARE\\"},
  };
  for (const Row& row : rows) {
    auto parsed = files.Locate(row.input);
    ASSERT_TRUE(parsed) << ToUtf8(row.input) << ": " << parsed.error();
    EXPECT_EQ(ToUtf8(JoinPath(*parsed)), ToUtf8(row.expected)) << ToUtf8(row.input);
  }
  struct Bad {
    const char16_t* input;
    WinError error;
  } bad[] = {{u"", kErrorPathNotFound},
             {u"C:\\a*b", kErrorInvalidName},
             {u"C:\\what?", kErrorInvalidName},
             {u"C:\\a|b", kErrorInvalidName},
             {u"\\\\server", kErrorBadNetPath},
             {u"\\\\server\\", kErrorBadNetPath},
             // A server named "?" would be read back as the long-path prefix.
             {u"\\\\?\\\\?\\share", kErrorInvalidName},
             {u"\\\\srv\\sh*re", kErrorInvalidName}};
  for (const Bad& row : bad) {
    EXPECT_EQ(files.Locate(row.input).error(), row.error) << ToUtf8(row.input);
  }
}

TEST(SimFileSystemTest, SharesAreRemoteVolumesAndMissingSharesAreBadNetworkPaths) {
  SimFileSystem files;
  files.AddVolume(u"\\\\Server\\Install", kDriveFixed);
  ASSERT_EQ(files.WriteAll(u"\\\\server\\install\\setup.ini", Bytes("x")), kErrorSuccess);
  EXPECT_EQ(files.ReadAll(u"\\\\SERVER\\INSTALL\\SETUP.INI").value_or({}), Bytes("x"));
  EXPECT_EQ(files.DriveType(u"\\\\server\\install\\"), kDriveRemote);
  EXPECT_EQ(files.GetInfo(u"\\\\other\\share\\a").error(), kErrorBadNetPath);
  EXPECT_EQ(files.LogicalDrives(), std::vector<Text>{u"C:\\"});
}

TEST(SimFileSystemTest, DrivesAreListedInOrderWithTheirTypes) {
  SimFileSystem files;
  files.AddVolume(u"E:\\", kDriveCdRom);
  files.AddVolume(u"a:", kDriveRemovable);
  EXPECT_EQ(files.LogicalDrives(), (std::vector<Text>{u"A:\\", u"C:\\", u"E:\\"}));
  EXPECT_EQ(files.DriveType(u"e:\\"), kDriveCdRom);
  EXPECT_EQ(files.DriveType(u"A:\\"), kDriveRemovable);
  EXPECT_EQ(files.DriveType(u"Q:\\"), 1u);
  EXPECT_EQ(files.DriveType(u"C:\\Windows"), 1u);
  ASSERT_TRUE(files.MakeDirectories(u"E:\\deep"));
  ASSERT_EQ(files.SetCurrentDirectory(u"E:\\deep"), kErrorSuccess);
  EXPECT_EQ(files.DriveType(u"e:"), kDriveCdRom);
  EXPECT_EQ(files.DriveType(u""), kDriveCdRom);
  EXPECT_EQ(files.GetAttributes(u"Q:\\x"), platform::kInvalidFileAttributes);
}

TEST(SimFileSystemTest, TimesComeFromTheClockAndCopiesKeepTheLastWrite) {
  SimFileSystem files;
  files.SetClock(1000);
  ASSERT_EQ(files.WriteAll(u"C:\\a.txt", Bytes("a")), kErrorSuccess);
  files.SetClock(2000);
  ASSERT_EQ(files.WriteAll(u"C:\\a.txt", Bytes("ab")), kErrorSuccess);
  auto info = files.GetInfo(u"C:\\a.txt");
  EXPECT_EQ(info->creationTime, 1000u);
  EXPECT_EQ(info->lastWriteTime, 2000u);
  files.SetClock(3000);
  ASSERT_EQ(files.CopyFile(u"C:\\a.txt", u"C:\\b.txt", true), kErrorSuccess);
  auto copy = files.GetInfo(u"C:\\b.txt");
  EXPECT_EQ(copy->creationTime, 3000u);
  EXPECT_EQ(copy->lastWriteTime, 2000u);
  ASSERT_TRUE(files.SetTimes(u"C:\\b.txt", 5, 6));
  EXPECT_EQ(files.GetInfo(u"C:\\b.txt")->lastWriteTime, 6u);
}

TEST(SimFileSystemTest, RareErrorsFollowTheSystem) {
  SimFileSystem files;
  files.AddVolume(u"D:");
  ASSERT_TRUE(files.MakeDirectories(u"C:\\dir\\cwd"));
  ASSERT_TRUE(files.PutTextFile(u"C:\\hidden.txt", "h"));
  ASSERT_EQ(files.SetAttributes(u"C:\\hidden.txt", platform::kFileAttributeHidden), 0u);
  ASSERT_EQ(files.SetCurrentDirectory(u"C:\\dir\\cwd"), kErrorSuccess);
  struct Row {
    const char* label;
    WinError actual;
    WinError expected;
  } rows[] = {
      {"read a folder", files.ReadAll(u"C:\\dir").error(), kErrorAccessDenied},
      {"delete a folder", files.DeleteFile(u"C:\\dir"), kErrorAccessDenied},
      {"remove a file as folder", files.RemoveDirectory(u"C:\\hidden.txt"), kErrorDirectory},
      {"remove the current directory", files.RemoveDirectory(u"C:\\dir\\cwd"),
       kErrorSharingViolation},
      {"remove a root", files.RemoveDirectory(u"C:\\"), kErrorAccessDenied},
      {"overwrite a hidden file", files.WriteAll(u"C:\\hidden.txt", Bytes("x")),
       kErrorAccessDenied},
      {"copy a file onto itself", files.CopyFile(u"C:\\hidden.txt", u"c:\\HIDDEN.TXT", false),
       kErrorSharingViolation},
      {"move a folder to another drive", files.MoveFile(u"C:\\dir", u"D:\\dir"),
       kErrorSharingViolation},
      {"list a file", files.ListDirectory(u"C:\\hidden.txt").error(), kErrorDirectory},
      {"write on a missing drive", files.WriteAll(u"Q:\\x", Bytes("x")), kErrorPathNotFound},
  };
  for (const Row& row : rows) EXPECT_EQ(row.actual, row.expected) << row.label;
  ASSERT_EQ(files.SetCurrentDirectory(u"C:\\"), kErrorSuccess);
  EXPECT_EQ(files.MoveFile(u"C:\\dir", u"D:\\dir"), kErrorNotSameDevice);
  EXPECT_EQ(files.MoveFile(u"C:\\hidden.txt", u"D:\\moved.txt"), kErrorSuccess);
  EXPECT_TRUE(files.Exists(u"D:\\moved.txt"));
  EXPECT_FALSE(files.Exists(u"C:\\hidden.txt"));
}

TEST(SimFileSystemTest, ChangingOnlyTheCaseRenamesInPlace) {
  SimFileSystem files;
  ASSERT_TRUE(files.PutTextFile(u"C:\\readme.txt", "r"));
  ASSERT_EQ(files.MoveFile(u"C:\\readme.txt", u"C:\\README.TXT"), kErrorSuccess);
  auto listing = files.ListDirectory(u"C:\\");
  ASSERT_EQ(listing->size(), 1u);
  EXPECT_EQ(listing->front().name, u"README.TXT");
}

TEST(SimFileSystemTest, HostFolderStandsForADrive) {
  const fs::path host = fs::temp_directory_path() / ("tarn-sim-host-" + std::to_string(::getpid()));
  fs::create_directories(host / "Setup");
  std::ofstream(host / "Setup" / "Install.INI") << "[settings]\n";
  struct Cleanup {
    fs::path path;
    ~Cleanup() { fs::remove_all(path); }
  } cleanup{host};

  SimFileSystem files;
  files.MountHostFolder(u"S:", host);
  auto read = files.ReadAll(u"s:\\SETUP\\install.ini");
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(*read, Bytes("[settings]\n"));
  EXPECT_TRUE(files.IsDirectory(u"S:\\setup"));
  auto listing = files.ListDirectory(u"S:\\Setup");
  ASSERT_TRUE(listing);
  ASSERT_EQ(listing->size(), 1u);
  EXPECT_EQ(listing->front().name, u"Install.INI");
  EXPECT_EQ(listing->front().info.size, 11u);
  auto opened = files.OpenForReading(u"s:\\setup\\INSTALL.ini");
  ASSERT_TRUE(opened) << opened.error();
  EXPECT_EQ((*opened)->Size(), 11u);
  std::vector<uint8_t> part(8);
  EXPECT_EQ((*opened)->ReadAt(6, part).value_or(0), 5u);
  // Meeting the end must not spoil the next read.
  EXPECT_EQ((*opened)->ReadAt(1, part).value_or(0), 8u);
  EXPECT_EQ(part, Bytes("settings"));
  EXPECT_EQ(files.OpenForReading(u"S:\\Setup\\none.ini").error(), kErrorFileNotFound);
  EXPECT_EQ(files.ReadAll(u"S:\\Setup\\none.ini").error(), kErrorFileNotFound);
  EXPECT_EQ(files.ReadAll(u"S:\\None\\none.ini").error(), kErrorPathNotFound);

  ASSERT_EQ(files.WriteAll(u"S:\\setup\\log.txt", Bytes("ok")), kErrorSuccess);
  EXPECT_TRUE(fs::exists(host / "Setup" / "log.txt"));
  ASSERT_EQ(files.CreateDirectory(u"S:\\New"), kErrorSuccess);
  EXPECT_TRUE(fs::is_directory(host / "New"));
  EXPECT_EQ(files.RemoveDirectory(u"S:\\setup"), kErrorDirNotEmpty);
  EXPECT_NE(files.GetAttributes(u"S:\\new") & kFileAttributeDirectory, 0u);
}

}  // namespace
}  // namespace tarn::sim
