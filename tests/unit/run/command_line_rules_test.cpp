#include "base/command_line_rules.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarn {
namespace {

std::string Joined(const std::vector<Text>& arguments) {
  std::string out;
  for (const Text& a : arguments) out += "[" + ToUtf8(a) + "]";
  return out;
}

TEST(CommandLineRulesTest, SplitsAsTheSystemDoes) {
  struct Row {
    const char16_t* line;
    const char* expected;
  } rows[] = {
      {u"setup.exe /q", "[setup.exe][/q]"},
      {u"  a  b ", "[][a][b]"},
      {u"\"C:\\Program Files\\x.exe\" -a", "[C:\\Program Files\\x.exe][-a]"},
      {u"\"C:\\dir\\\" x", "[C:\\dir\\][x]"},
      {u"p \"abc\" d e", "[p][abc][d][e]"},
      {u"p a\\\\\\b d\"e f\"g h", "[p][a\\\\\\b][de fg][h]"},
      {u"p a\\\\\\\"b c d", "[p][a\\\"b][c][d]"},
      {u"p a\\\\\\\\\"b c\" d e", "[p][a\\\\b c][d][e]"},
      {u"p a\"b\"\" c d", "[p][ab\"][c][d]"},
      {u"p \"\"", "[p][]"},
      {u"p \"\"\"\"\"\"", "[p][\"\"]"},
      {u"p \"", "[p][]"},
      {u"p\tx\ty", "[p][x][y]"},
      {u"\"a\"b c", "[a][b][c]"},
      {u"a\"b c", "[a\"b][c]"},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Joined(SplitCommandLine(row.line)), row.expected) << ToUtf8(row.line);
  }
  EXPECT_TRUE(SplitCommandLine(u"").empty());
}

TEST(CommandLineRulesTest, QuotingRoundTripsThroughSplitting) {
  const char16_t* arguments[] = {u"plain",        u"with space", u"C:\\My Files\\", u"say \"hi\"",
                                 u"a\\\"b",       u"tab\there",  u"\\\\srv\\share", u"",
                                 u"trailing\\\\", u"\"",         u"x \\\\\"y"};
  for (const char16_t* argument : arguments) {
    const Text line = u"p " + QuoteArgument(argument);
    const auto split = SplitCommandLine(line);
    ASSERT_EQ(split.size(), 2u) << ToUtf8(line) << " -> " << Joined(split);
    EXPECT_EQ(split[1], Text(argument)) << ToUtf8(line);
  }
}

TEST(CommandLineRulesTest, QuotesOnlyWhenNeeded) {
  EXPECT_EQ(QuoteArgument(u"/q"), u"/q");
  EXPECT_EQ(QuoteArgument(u"C:\\a\\b.txt"), u"C:\\a\\b.txt");
  EXPECT_EQ(QuoteArgument(u"C:\\My Docs\\b.txt"), u"\"C:\\My Docs\\b.txt\"");
}

TEST(CommandLineRulesTest, KnowsWhetherAPositionIsInsideAQuotedPart) {
  // The position asked about is the line's last '%'.
  struct Row {
    const char16_t* line;
    bool inside;
  } rows[] = {
      {u"\"%1\"", true},
      {u"\"%1\" %*", false},
      {u"msiexec.exe /i \"%1\"", true},
      {u"notepad.exe %1", false},
      {u"tool.exe \"/f=%1\"", true},
      {u"tool.exe \"a\" %1", false},
      {u"tool.exe \"%1", true},  // an unclosed quote runs to the end
      // An escaped quote opens or closes nothing; "" closes again at once;
      // a quote right after a closing one is literal.
      {u"tool.exe \\\"%1", false},
      {u"tool.exe \"a\\\"%1\"", true},
      {u"tool.exe \"\"%1", false},
      {u"tool.exe \"x\"\"%1", false},
      // The program part knows no escapes, and quotes inside a bare name are
      // plain characters.
      {u"\"C:\\dir\\\" %1", false},
      {u"a\"b %1", false},
  };
  for (const auto& row : rows) {
    const TextView line(row.line);
    EXPECT_EQ(InQuotedPart(line, line.rfind(u'%')), row.inside) << ToUtf8(line);
  }
}

}  // namespace
}  // namespace tarn
