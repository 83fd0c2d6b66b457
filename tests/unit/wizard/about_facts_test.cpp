#include "wizard/about_facts.h"

#include <gtest/gtest.h>

#include "platform/sim/machine.h"
#include "support/pe_image_builder.h"

namespace tarn::wizard {
namespace {

constexpr char16_t kProgram[] = u"C:\\tarn\\tarn.exe";

// The simulated machine keeps local time at UTC and writes dates in English.
class AboutFactsTest : public ::testing::Test {
 protected:
  void SetUp() override { machine_.system().SetModuleFileName(kProgram); }

  void PutProgram(uint32_t timeStamp) {
    std::vector<uint8_t> image =
        testing::BuildPeImage(testing::BuildVersionBlock(testing::SampleVersionSpec()));
    // The COFF header's time stamp: after "PE\0\0", the machine and the
    // section count, at the header offset 0x40 the builder uses.
    for (int i = 0; i < 4; ++i) image[0x48 + i] = static_cast<uint8_t>(timeStamp >> (8 * i));
    ASSERT_TRUE(machine_.files().PutFile(kProgram, image));
  }

  sim::Machine machine_;
};

TEST_F(AboutFactsTest, VersionAndBuildDateComeFromTheProgramFile) {
  PutProgram(1'765'000'000);
  const AboutFacts facts = ReadAboutFacts(machine_.platform());
  EXPECT_EQ(ToUtf8(facts.version), "5.6.7.8");
  EXPECT_EQ(ToUtf8(facts.buildDate), "Saturday, December 6, 2025, 5:46:40 AM");
}

TEST_F(AboutFactsTest, AStampOfZeroIsTheStartOf1970) {
  PutProgram(0);
  EXPECT_EQ(ToUtf8(ReadAboutFacts(machine_.platform()).buildDate),
            "Thursday, January 1, 1970, 12:00:00 AM");
}

TEST_F(AboutFactsTest, AFileThatIsNoProgramLeavesBothEmpty) {
  const uint8_t notAProgram[] = {'M', 'Z', 0, 0};
  ASSERT_TRUE(machine_.files().PutFile(kProgram, notAProgram));
  const AboutFacts facts = ReadAboutFacts(machine_.platform());
  EXPECT_EQ(ToUtf8(facts.version), "");
  EXPECT_EQ(ToUtf8(facts.buildDate), "");
}

}  // namespace
}  // namespace tarn::wizard
