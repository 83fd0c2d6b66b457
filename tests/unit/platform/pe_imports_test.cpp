#include "platform/pe_imports.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/bytes_file.h"
#include "platform/pe_version_reader.h"
#include "support/pe_image_builder.h"

namespace tarn::platform {
namespace {

namespace build = tarn::testing;

// The import section starts at 0x200 in the file; its first descriptor's
// name field is at +12.
constexpr size_t kFirstNameField = 0x200 + 12;

Result<PeImports> Read(const std::vector<uint8_t>& image) {
  BytesFile file(image);
  return ReadPeImports(file);
}

TEST(PeImports, NamesBothDirectoriesInOrderForBothImageKinds) {
  for (const bool pe32Plus : {true, false}) {
    const auto imports =
        Read(build::BuildImportImage({"KERNEL32.dll", "USER32.dll"}, {"VERSION.dll"}, pe32Plus));
    ASSERT_TRUE(imports.ok()) << imports.error();
    EXPECT_EQ(imports->imported, (std::vector<Text>{u"KERNEL32.dll", u"USER32.dll"}));
    EXPECT_EQ(imports->delayLoaded, std::vector<Text>{u"VERSION.dll"});
  }
}

TEST(PeImports, AnImageWithoutImportsHasEmptyLists) {
  const auto imports = Read(build::BuildPeImage(build::BuildVersionBlock({})));
  ASSERT_TRUE(imports.ok());
  EXPECT_TRUE(imports->imported.empty());
  EXPECT_TRUE(imports->delayLoaded.empty());
}

TEST(PeImports, DamagedImagesAreRefusedNotRead) {
  const std::vector<uint8_t> good = build::BuildImportImage({"KERNEL32.dll"}, {});
  struct Damage {
    const char* what;
    size_t at;
    uint8_t value;
  };
  const Damage damages[] = {
      {"name outside the image", kFirstNameField + 2, 0x7F},
      {"name pointing at a non-text byte", kFirstNameField, 0x00},
      {"not an image", 0, 'X'},
  };
  for (const Damage& damage : damages) {
    std::vector<uint8_t> image = good;
    image[damage.at] = damage.value;
    EXPECT_EQ(Read(image).error(), kErrorBadExeFormat) << damage.what;
  }
  // A file cut inside the list.
  std::vector<uint8_t> unterminated = build::BuildImportImage({"A.dll"}, {});
  unterminated.resize(0x200 + 20);
  EXPECT_EQ(Read(unterminated).error(), kErrorBadExeFormat);
}

}  // namespace
}  // namespace tarn::platform
