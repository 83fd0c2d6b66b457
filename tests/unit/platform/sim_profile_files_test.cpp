#include "platform/sim/sim_profile_files.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "platform/sim/machine.h"

#include <map>
#include <string>
#include <vector>

namespace tarn::sim {
namespace {

// Files in memory, keyed by the path exactly as given; counts writes.
class MemoryFiles : public platform::FileSystem {
 public:
  std::map<Text, std::vector<uint8_t>> files;
  int writes = 0;

  uint32_t GetAttributes(TextView path) override {
    return files.count(Text(path)) ? platform::kFileAttributeNormal
                                   : platform::kInvalidFileAttributes;
  }
  WinError SetAttributes(TextView, uint32_t) override { return kErrorSuccess; }
  Result<platform::FileInfo> GetInfo(TextView) override {
    return Result<platform::FileInfo>::Failure(kErrorNotSupported);
  }
  Result<std::vector<uint8_t>> ReadAll(TextView path) override {
    const auto found = files.find(Text(path));
    if (found == files.end()) return Result<std::vector<uint8_t>>::Failure(kErrorFileNotFound);
    return found->second;
  }
  Result<std::unique_ptr<platform::ReadableFile>> OpenForReading(TextView) override {
    return Result<std::unique_ptr<platform::ReadableFile>>::Failure(kErrorNotSupported);
  }
  WinError WriteAll(TextView path, std::span<const uint8_t> bytes) override {
    if (path.starts_with(u"X:")) return kErrorPathNotFound;
    ++writes;
    files[Text(path)].assign(bytes.begin(), bytes.end());
    return kErrorSuccess;
  }
  Result<std::unique_ptr<platform::WritableFile>> CreateAlways(TextView, bool) override {
    return Result<std::unique_ptr<platform::WritableFile>>::Failure(kErrorNotSupported);
  }
  Result<std::unique_ptr<platform::WritableFile>> CreateNew(TextView, bool) override {
    return Result<std::unique_ptr<platform::WritableFile>>::Failure(kErrorNotSupported);
  }
  Result<std::unique_ptr<platform::WritableFile>> OpenToAppend(TextView, bool) override {
    return Result<std::unique_ptr<platform::WritableFile>>::Failure(kErrorNotSupported);
  }
  WinError CreateDirectory(TextView) override { return kErrorNotSupported; }
  WinError RemoveDirectory(TextView) override { return kErrorNotSupported; }
  WinError DeleteFile(TextView) override { return kErrorNotSupported; }
  WinError CopyFile(TextView, TextView, bool) override { return kErrorNotSupported; }
  WinError MoveFile(TextView, TextView) override { return kErrorNotSupported; }
  WinError ReplaceFile(TextView, TextView) override { return kErrorNotSupported; }
  Result<std::vector<platform::DirectoryEntry>> ListDirectory(TextView) override {
    return Result<std::vector<platform::DirectoryEntry>>::Failure(kErrorNotSupported);
  }
  Text CurrentDirectory() override { return u"C:\\"; }
  WinError SetCurrentDirectory(TextView) override { return kErrorNotSupported; }
  uint32_t DriveType(TextView) override { return 3; }
  std::vector<Text> LogicalDrives() override { return {u"C:\\"}; }
  // Volumes and formatting.
  WinError VolumeState(TextView) override { return kErrorSuccess; }
  Result<Text> VolumeLabel(TextView) override { return Text(); }
  Result<platform::PartitionFacts> DescribePartition(TextView) override {
    return Result<platform::PartitionFacts>::Failure(kErrorNotSupported);
  }
  Result<platform::VolumeFacts> DescribeVolume(TextView) override {
    return Result<platform::VolumeFacts>::Failure(kErrorNotSupported);
  }
  WinError FormatVolume(const platform::FormatRequest&, const platform::FormatProgress&) override {
    return kErrorNotSupported;
  }

  // Owners and access lists.
  WinError SetOwner(TextView, const platform::Sid&) override { return kErrorNotSupported; }
  WinError SetAccessList(TextView, std::span<const platform::AccessEntry>) override {
    return kErrorNotSupported;
  }
  WinError CreateProtectedDirectory(TextView, std::span<const platform::AccessEntry>) override {
    return kErrorNotSupported;
  }
  Result<platform::Sid> GetOwner(TextView) override {
    return Result<platform::Sid>::Failure(kErrorNotSupported);
  }
  Result<std::vector<platform::AccessEntry>> GetAccessList(TextView) override {
    return Result<std::vector<platform::AccessEntry>>::Failure(kErrorNotSupported);
  }
};

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}
std::string AsString(const std::vector<uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

constexpr TextView kIni = u"C:\\install.ini";

TEST(SimProfileFilesTest, MissingFileAnswersWithDefaultsAndEmptyLists) {
  MemoryFiles files;
  SimProfileFiles profiles(files);
  EXPECT_EQ(profiles.GetString(kIni, u"s", u"k", u"dflt", 10).data, u"dflt");
  EXPECT_EQ(profiles.GetInt(kIni, u"s", u"k", 42), 42);
  EXPECT_EQ(profiles.GetSection(kIni, u"s", 10).returned, 0u);
  EXPECT_EQ(profiles.GetSectionNames(kIni, 10).returned, 0u);
  EXPECT_EQ(profiles.GetStruct(kIni, u"s", u"k", 1), std::nullopt);
}

TEST(SimProfileFilesTest, WritingCreatesAnAnsiFileAndDeletingNothingCreatesNone) {
  MemoryFiles files;
  SimProfileFiles profiles(files);
  EXPECT_EQ(profiles.WriteString(kIni, u"users", u"k", std::nullopt), kErrorSuccess);
  EXPECT_EQ(profiles.WriteString(kIni, u"users", std::nullopt, std::nullopt), kErrorSuccess);
  EXPECT_EQ(files.writes, 0);
  EXPECT_EQ(profiles.WriteString(kIni, u"settings", u"dimension.width", u"640"), kErrorSuccess);
  EXPECT_EQ(AsString(files.files[Text(kIni)]), "[settings]\r\ndimension.width=640\r\n");
}

TEST(SimProfileFilesTest, WriteFailureIsReported) {
  MemoryFiles files;
  SimProfileFiles profiles(files);
  EXPECT_EQ(profiles.WriteString(u"X:\\none\\a.ini", u"s", u"k", u"v"), kErrorPathNotFound);
}

TEST(SimProfileFilesTest, ReadsSeeEveryChangeOfTheFile) {
  MemoryFiles files;
  SimProfileFiles profiles(files);
  files.files[Text(kIni)] = Bytes("[s]\r\nk=1\r\n");
  EXPECT_EQ(profiles.GetInt(kIni, u"s", u"k", 0), 1);
  files.files[Text(kIni)] = Bytes("[s]\r\nk=2\r\n");
  EXPECT_EQ(profiles.GetInt(kIni, u"s", u"k", 0), 2) << "same size, new content";
  EXPECT_EQ(profiles.WriteString(kIni, u"s", u"k", u"3"), kErrorSuccess);
  EXPECT_EQ(profiles.GetInt(kIni, u"s", u"k", 0), 3);
  files.files.erase(Text(kIni));
  EXPECT_EQ(profiles.GetInt(kIni, u"s", u"k", 0), 0) << "a deleted file reads as missing";
}

TEST(SimProfileFilesTest, StructRoundTripAndCorruptedChecksum) {
  MemoryFiles files;
  SimProfileFiles profiles(files);
  const std::vector<uint8_t> bytes = {0x01, 0xAB, 0xFF};
  EXPECT_EQ(profiles.WriteStruct(kIni, u"users", u"password.0", bytes), kErrorSuccess);
  EXPECT_EQ(AsString(files.files[Text(kIni)]), "[users]\r\npassword.0=01ABFFAB\r\n");
  EXPECT_EQ(profiles.GetStruct(kIni, u"USERS", u"Password.0", 3), bytes);
  EXPECT_EQ(profiles.WriteString(kIni, u"users", u"password.0", u"01ABFFAC"), kErrorSuccess);
  EXPECT_EQ(profiles.GetStruct(kIni, u"users", u"password.0", 3), std::nullopt);
}

void SetAnsiCodePage(platform::Registry& registry, const platform::RegValue& value) {
  const auto key = platform::ScopedKey::Create(registry, platform::kLocalMachine,
                                               u"SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage",
                                               platform::kKeyWrite);
  ASSERT_TRUE(key.valid());
  ASSERT_EQ(registry.SetValue(key.get(), u"ACP", value), kErrorSuccess);
}

TEST(SimProfileFilesTest, AnsiFilesReadAndWriteInTheCodePageTheRegistryNames) {
  Machine machine;
  platform::ProfileFiles& profiles = *machine.platform().profiles;
  // "[Программы]" and "k=Да" in Windows-1251.
  ASSERT_TRUE(machine.files().PutFile(
      kIni, Bytes("[\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB]\r\nk=\xC4\xE0\r\n")));
  const TextView section = u"\u041F\u0440\u043E\u0433\u0440\u0430\u043C\u043C\u044B";
  EXPECT_EQ(profiles.GetString(kIni, section, u"k", u"-", 16).data, u"-") << "1252 when unset";

  SetAnsiCodePage(machine.registry(), platform::RegValue::FromText(u"1251"));
  EXPECT_EQ(machine.system().AnsiCodePage(), 1251u);
  EXPECT_EQ(profiles.GetString(kIni, section, u"k", u"-", 16).data, u"\u0414\u0430");
  ASSERT_EQ(profiles.WriteString(kIni, section, u"k", u"\u041D\u0435\u0442"), kErrorSuccess);
  EXPECT_EQ(AsString(*machine.files().ReadAll(kIni)),
            "[\xCF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB]\r\nk=\xCD\xE5\xF2\r\n");

  // Windows keeps the number as text; anything else counts as unset.
  SetAnsiCodePage(machine.registry(), platform::RegValue::FromDword(1251));
  EXPECT_EQ(machine.system().AnsiCodePage(), 1252u);
  SetAnsiCodePage(machine.registry(), platform::RegValue::FromText(u"12x"));
  EXPECT_EQ(machine.system().AnsiCodePage(), 1252u);
}

}  // namespace
}  // namespace tarn::sim
