#include "platform/pe_version_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

#include "support/pe_image_builder.h"

namespace tarn::platform {
namespace {

namespace build = tarn::testing;

// Offsets in images made by BuildPeImage: the resource section starts at
// 0x200 in the file; its name-level entry's target is at +44, the data
// entry's RVA and size at +72 and +76.
constexpr size_t kResourceSection = 0x200;
constexpr size_t kNameEntryTarget = kResourceSection + 44;
constexpr size_t kDataEntrySize = kResourceSection + 76;

std::vector<uint8_t> SampleImage(bool pe32Plus = true) {
  return build::BuildPeImage(build::BuildVersionBlock(build::SampleVersionSpec()),
                             {.pe32Plus = pe32Plus});
}

// An image read as a file, counting the bytes asked for; reads that reach
// `failFrom` fail as a damaged disk would.
class ImageFile : public ReadableFile {
 public:
  explicit ImageFile(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
  [[nodiscard]] uint64_t Size() const override { return bytes_.size(); }
  Result<size_t> ReadAt(uint64_t offset, std::span<uint8_t> buffer) override {
    if (offset + buffer.size() > failFrom) return Result<size_t>::Failure(kErrorCrc);
    bytesRead += buffer.size();
    if (offset >= bytes_.size()) return size_t{0};
    const size_t count = std::min<uint64_t>(buffer.size(), bytes_.size() - offset);
    std::copy_n(bytes_.begin() + static_cast<long>(offset), count, buffer.begin());
    return count;
  }

  static constexpr WinError kErrorCrc = 23;
  uint64_t failFrom = UINT64_MAX;
  uint64_t bytesRead = 0;

 private:
  std::vector<uint8_t> bytes_;
};

constexpr uint32_t kProgramBytes = 3 * 1024 * 1024;

std::vector<uint8_t> LargeProgramImage() {
  return build::BuildPeImage(build::BuildVersionBlock(build::SampleVersionSpec()),
                             {.bytesBeforeResources = kProgramBytes});
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(PeVersionReaderTest, ReadsFixedInformationTranslationsAndStrings) {
  for (const bool pe32Plus : {true, false}) {
    const auto resource = ReadPeVersionResource(SampleImage(pe32Plus));
    ASSERT_TRUE(resource) << "error " << resource.error() << " pe32+ " << pe32Plus;
    const auto fixed = (*resource)->Fixed();
    ASSERT_TRUE(fixed.has_value());
    EXPECT_EQ(fixed->fileVersion, 0x0001000200030004ull);
    EXPECT_EQ(fixed->productVersion, 0x0005000600070008ull);
    const auto translations = (*resource)->Translations();
    ASSERT_EQ(translations.size(), 1u);
    EXPECT_EQ(translations[0].language, 0x0409);
    EXPECT_EQ(translations[0].codePage, 0x04B0);
    EXPECT_EQ((*resource)->String(u"\\StringFileInfo\\040904b0\\CompanyName"),
              std::optional<Text>(u"Example Ltd"));
    EXPECT_EQ((*resource)->String(u"\\stringfileinfo\\040904B0\\companyname"),
              std::optional<Text>(u"Example Ltd"));
    EXPECT_EQ((*resource)->String(u"\\StringFileInfo\\040904b0\\Comments"), std::nullopt);
    EXPECT_EQ((*resource)->String(u"\\StringFileInfo\\040704b0\\CompanyName"), std::nullopt);
  }
}

TEST(PeVersionReaderTest, ReportsWhatIsMissing) {
  struct Row {
    const char* what;
    std::vector<uint8_t> image;
    WinError error;
  } rows[] = {
      {"empty", {}, kErrorBadExeFormat},
      {"MZ only", {'M', 'Z'}, kErrorBadExeFormat},
      {"text", std::vector<uint8_t>(512, 'a'), kErrorBadExeFormat},
      {"no resources", build::BuildPeImage({1, 2}, {.withResources = false}),
       kErrorResourceDataNotFound},
      {"icons only", build::BuildPeImage({1, 2, 3, 4}, {.resourceType = 3}),
       kErrorResourceTypeNotFound},
  };
  for (const auto& row : rows) {
    const auto resource = ReadPeVersionResource(row.image);
    ASSERT_FALSE(resource) << row.what;
    EXPECT_EQ(resource.error(), row.error) << row.what;
  }
}

TEST(PeVersionReaderTest, EveryTruncationFailsCleanlyOrStillReads) {
  const std::vector<uint8_t> image = SampleImage();
  size_t successes = 0;
  for (size_t size = 0; size < image.size(); ++size) {
    const std::vector<uint8_t> cut(image.begin(), image.begin() + static_cast<long>(size));
    const auto resource = ReadPeVersionResource(cut);
    if (resource) {
      ++successes;
      EXPECT_TRUE((*resource)->Fixed().has_value()) << size;
    }
  }
  // Only the section padding after the resource can go without harm.
  EXPECT_LT(successes, image.size() / 2);
}

TEST(PeVersionReaderTest, EveryCorruptedByteIsSurvived) {
  const std::vector<uint8_t> image = SampleImage();
  for (size_t at = 0; at < image.size(); ++at) {
    for (const uint8_t value : {uint8_t{0x00}, uint8_t{0xFF}, uint8_t{0x80}}) {
      std::vector<uint8_t> corrupt = image;
      corrupt[at] = value;
      const auto resource = ReadPeVersionResource(corrupt);
      if (resource) (void)(*resource)->String(u"\\StringFileInfo\\040904b0\\CompanyName");
    }
  }
}

TEST(PeVersionReaderTest, DirectoryPointingBackAtItselfDoesNotLoop) {
  std::vector<uint8_t> image = SampleImage();
  PutU32(image, kNameEntryTarget, 0x80000000u);  // the name level points at the root
  const auto resource = ReadPeVersionResource(image);
  ASSERT_FALSE(resource);
  EXPECT_EQ(resource.error(), kErrorResourceDataNotFound);
}

TEST(PeVersionReaderTest, DataEntryLargerThanTheFileFails) {
  for (const uint32_t size : {0xFFFFFFFFu, 0x10000u, 0u}) {
    std::vector<uint8_t> image = SampleImage();
    PutU32(image, kDataEntrySize, size);
    EXPECT_FALSE(ReadPeVersionResource(image)) << size;
  }
}

TEST(PeVersionReaderTest, ALargeProgramIsReadOnlyWhereTheResourceLies) {
  const std::vector<uint8_t> image = LargeProgramImage();
  ImageFile file(image);
  const auto fromFile = ReadPeVersionResource(file);
  const auto fromMemory = ReadPeVersionResource(image);
  ASSERT_TRUE(fromFile) << fromFile.error();
  ASSERT_TRUE(fromMemory) << fromMemory.error();
  EXPECT_EQ((*fromFile)->Fixed(), (*fromMemory)->Fixed());
  EXPECT_EQ((*fromFile)->Translations(), (*fromMemory)->Translations());
  EXPECT_EQ((*fromFile)->String(u"\\StringFileInfo\\040904b0\\CompanyName"),
            std::optional<Text>(u"Example Ltd"));
  EXPECT_LT(file.bytesRead, 64u * 1024u);
}

TEST(PeVersionReaderTest, AFileThatFailsToReadGivesItsOwnError) {
  const std::vector<uint8_t> image = LargeProgramImage();
  const uint64_t resources = kResourceSection + kProgramBytes;
  // The headers, the resource directory and the resource's own bytes.
  for (const uint64_t failFrom : {uint64_t{0}, resources + 20, resources + 100}) {
    ImageFile file(image);
    file.failFrom = failFrom;
    const auto resource = ReadPeVersionResource(file);
    ASSERT_FALSE(resource) << failFrom;
    EXPECT_EQ(resource.error(), ImageFile::kErrorCrc) << failFrom;
  }
}

TEST(VersionBlockTest, LengthsBeyondTheDataAreCutAndBrokenChildrenEndTheList) {
  std::vector<uint8_t> block = build::BuildVersionBlock(build::SampleVersionSpec());
  block[0] = 0xFF;
  block[1] = 0xFF;  // root claims 65535 bytes
  const auto root = ParseVersionBlock(block);
  ASSERT_TRUE(root);
  ParsedVersionResource resource(*root);
  EXPECT_EQ(resource.String(u"\\StringFileInfo\\040904b0\\FileVersion"),
            std::optional<Text>(u"1.2.3.4"));

  // A child of length zero ends the children; nothing after it is read.
  std::vector<uint8_t> zeroChild = build::VersionNode(
      u"Root", 0, {}, 0, {std::vector<uint8_t>(8, 0), build::VersionNode(u"Late", 1, {}, 0, {})});
  const auto parsed = ParseVersionBlock(zeroChild);
  ASSERT_TRUE(parsed);
  EXPECT_TRUE(parsed->children.empty());
}

TEST(VersionBlockTest, KeyWithoutTerminatorFails) {
  std::vector<uint8_t> block = {10, 0, 0, 0, 1, 0, 'A', 0, 'B', 0};
  EXPECT_FALSE(ParseVersionBlock(block));
  EXPECT_FALSE(ParseVersionBlock(std::vector<uint8_t>{6, 0, 0}));
}

TEST(VersionBlockTest, NestingIsLimited) {
  std::vector<uint8_t> node = build::VersionNode(u"Leaf", 1, build::TextValue(u"x"), 2, {});
  for (int depth = 0; depth < 40; ++depth) node = build::VersionNode(u"N", 1, {}, 0, {node});
  const auto root = ParseVersionBlock(node);
  ASSERT_TRUE(root);
  int depth = 0;
  for (const VersionBlock* b = &*root; !b->children.empty(); b = &b->children.front()) ++depth;
  EXPECT_LE(depth, 8);
  EXPECT_GE(depth, 4);
}

TEST(VersionBlockTest, TextValueLengthInBytesStillReadsTheText) {
  // Some resource compilers write wValueLength in bytes for text values.
  const std::vector<uint8_t> text = build::TextValue(u"Example");
  const std::vector<uint8_t> block = build::VersionNode(
      u"VS_VERSION_INFO", 0, {}, 0,
      {build::VersionNode(
          u"S", 1, {}, 0,
          {build::VersionNode(u"Name", 1, text, static_cast<uint16_t>(text.size()), {})})});
  const auto root = ParseVersionBlock(block);
  ASSERT_TRUE(root);
  EXPECT_EQ(ParsedVersionResource(*root).String(u"\\S\\Name"), std::optional<Text>(u"Example"));
}

}  // namespace
}  // namespace tarn::platform
