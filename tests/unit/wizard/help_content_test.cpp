#include "wizard/help_content.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/sim/sim_environment.h"

namespace tarn::wizard {
namespace {

constexpr char16_t kProgramFolder[] = u"C:\\Program\\Bin";

struct Case {
  const char* name;
  std::optional<Text> helpFile;
  std::optional<Text> helpText;
  Text defaultHelp;
  HelpKind kind;
  const char* path;
  const char* title;
  const char* body;
};

TEST(HelpFor, ChoosesTheEntrysOwnHelpFirst) {
  sim::SimEnvironment environment;
  ASSERT_EQ(environment.Set(u"DOCS", u"D:\\Docs"), kErrorSuccess);
  ASSERT_EQ(environment.Set(u"APP", u"Tool"), kErrorSuccess);
  const Case cases[] = {
      {"file wins over text", u"%DOCS%\\app.rtf", u"ignored", u"x.rtf", HelpKind::kFile,
       "D:\\Docs\\app.rtf", "", ""},
      {"relative file from the program folder", u"docs\\..\\help\\app.rtf", std::nullopt, u"",
       HelpKind::kFile, "C:\\Program\\Bin\\help\\app.rtf", "", ""},
      {"text under the description", std::nullopt, u"Needs %APP% in C:\\Tools\\{x}", u"x.rtf",
       HelpKind::kText, "", "About Tool", "Needs Tool in C:\\Tools\\{x}"},
      {"default help", std::nullopt, std::nullopt, u"%DOCS%\\..\\default.rtf", HelpKind::kFile,
       "D:\\Docs\\..\\default.rtf", "", ""},
      {"relative default help", std::nullopt, std::nullopt, u"default.rtf", HelpKind::kFile,
       "C:\\Program\\Bin\\default.rtf", "", ""},
      {"nothing at all", std::nullopt, std::nullopt, u"", HelpKind::kEmpty, "", "", ""},
  };
  for (const Case& c : cases) {
    catalogue::SoftwareEntry entry;
    entry.Description = u"About %APP%";
    entry.HelpFile = c.helpFile;
    entry.HelpText = c.helpText;
    const HelpContent content = HelpFor(entry, c.defaultHelp, environment, kProgramFolder);
    EXPECT_EQ(content.kind, c.kind) << c.name;
    EXPECT_EQ(ToUtf8(content.path), c.path) << c.name;
    EXPECT_EQ(ToUtf8(content.title), c.title) << c.name;
    EXPECT_EQ(ToUtf8(content.body), c.body) << c.name;
  }
}

TEST(HelpFor, ShortHelpIsExpandedWithinItsCapacity) {
  sim::SimEnvironment environment;
  ASSERT_EQ(environment.Set(u"LONG", Text(5000, u'a')), kErrorSuccess);
  catalogue::SoftwareEntry entry;
  entry.HelpText = u"%LONG%";
  const HelpContent content = HelpFor(entry, u"", environment, kProgramFolder);
  EXPECT_EQ(content.body.size(), 4094u);
}

// The escaped part between the template's title opening and its end.
std::string EscapedTitle(TextView title) {
  const std::string rtf = ShortHelpRtf(title, u"");
  const std::string open = "\\fs20 ";
  const size_t start = rtf.find(open) + open.size();
  return rtf.substr(start, rtf.find("\\cf2\\b0") - start);
}

TEST(ShortHelpRtf, EscapesEveryUnitAsASigned16BitNumber) {
  const struct {
    const char16_t* title;
    const char* escaped;
  } cases[] = {
      {u"", ""},
      {u"C:\\{x}", "\\u67\\'3f\\u58\\'3f\\u92\\'3f\\u123\\'3f\\u120\\'3f\\u125\\'3f"},
      {u"Жω", "\\u1046\\'3f\\u969\\'3f"},
      {u"\u7fff\u8000\uffff", "\\u32767\\'3f\\u-32768\\'3f\\u-1\\'3f"},
      {u"%s", "\\u37\\'3f\\u115\\'3f"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EscapedTitle(c.title), c.escaped) << ToUtf8(c.title);
  }
}

TEST(ShortHelpRtf, FillsTheTemplateTitleFirst) {
  const std::string rtf = ShortHelpRtf(u"T", u"B");
  EXPECT_EQ(rtf.size(), 261u - 4 + 2 * 8) << rtf;
  EXPECT_EQ(rtf.substr(0, 6), "{\\rtf1");
  EXPECT_LT(rtf.find("\\u84\\'3f"), rtf.find("\\u66\\'3f")) << rtf;
  EXPECT_NE(rtf.find("\\u66\\'3f\\par\r\n\\par\r\n"), std::string::npos) << rtf;
}

TEST(ShortHelpRtf, InHighContrastTitleAndBodyTakeTheWindowTextColour) {
  const std::string themed = ShortHelpRtf(u"T", u"B", true);
  EXPECT_EQ(themed.find("\\cf1"), std::string::npos) << themed;
  EXPECT_EQ(themed.find("\\cf2"), std::string::npos) << themed;
  EXPECT_NE(themed.find("\\cf0\\lang2057\\b\\f0\\fs20 \\u84\\'3f"), std::string::npos) << themed;
  EXPECT_NE(ShortHelpRtf(u"T", u"B").find("\\cf1"), std::string::npos);
}

}  // namespace
}  // namespace tarn::wizard
