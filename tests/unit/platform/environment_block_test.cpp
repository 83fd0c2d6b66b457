#include "platform/environment_block.h"

#include <gtest/gtest.h>

#include <map>

namespace tarn::platform {
namespace {

using Entries = std::vector<EnvironmentEntry>;

std::string Show(const Entries& entries) {
  std::string out;
  for (const auto& [name, value] : entries) {
    for (char16_t c : name + u"=" + value) out += c < 0x80 ? static_cast<char>(c) : '?';
    out += ';';
  }
  return out;
}

// A block from its strings: each gets its zero, then the final one.
Text Block(std::initializer_list<TextView> strings) {
  Text block;
  for (TextView s : strings) (block += s) += u'\0';
  return block + u'\0';
}

TEST(EnvironmentBlockTest, ParsesWellFormedBlocks) {
  struct Row {
    const char* what;
    Text block;
    Entries expected;
  } rows[] = {
      {"the final zero alone", Text(1, u'\0'), {}},
      {"two zeros", Text(2, u'\0'), {}},
      {"one entry", Block({u"A=1"}), {{u"A", u"1"}}},
      {"empty value", Block({u"A="}), {{u"A", u""}}},
      {"equals in the value", Block({u"A=b=c"}), {{u"A", u"b=c"}}},
      {"drive entry", Block({u"=C:=C:\\x"}), {{u"=C:", u"C:\\x"}}},
      {"no equals is skipped", Block({u"A=1", u"junk", u"B=2"}), {{u"A", u"1"}, {u"B", u"2"}}},
      {"lone equals is skipped", Block({u"=", u"B=2"}), {{u"B", u"2"}}},
      {"duplicates kept in order", Block({u"A=1", u"a=2"}), {{u"A", u"1"}, {u"a", u"2"}}},
      {"stops at the first empty string", Block({u"A=1", u"", u"B=2"}), {{u"A", u"1"}}},
  };
  for (const auto& row : rows) {
    const auto parsed = ParseEnvironmentBlock(row.block);
    ASSERT_TRUE(parsed) << row.what;
    EXPECT_EQ(*parsed, row.expected) << row.what << ": " << Show(*parsed);
  }
}

TEST(EnvironmentBlockTest, RefusesABlockWithoutItsFinalZero) {
  for (const Text& block :
       {Text(), Text(u"A=1"), Text(u"A=1") + u'\0', Text(u"A=1") + u'\0' + u"B"}) {
    const auto parsed = ParseEnvironmentBlock(block);
    EXPECT_FALSE(parsed) << Show(parsed.value_or(Entries{}));
  }
}

TEST(EnvironmentBlockTest, FirstOfEachNameIgnoresCase) {
  const Entries kept =
      FirstOfEachName({{u"Path", u"1"}, {u"B", u"x"}, {u"PATH", u"2"}, {u"b", u"y"}});
  const Entries expected{{u"Path", u"1"}, {u"B", u"x"}};
  EXPECT_EQ(kept, expected) << Show(kept);
}

TEST(EnvironmentBlockTest, BuildsWhatItParses) {
  const Entries entries{{u"=C:", u"C:\\x"}, {u"A", u""}, {u"B", u"b=c"}};
  const EnvironmentBlock block = BuildEnvironmentBlock(entries);
  EXPECT_EQ(block, Block({u"=C:=C:\\x", u"A=", u"B=b=c"}));
  const auto parsed = ParseEnvironmentBlock(block);
  ASSERT_TRUE(parsed);
  EXPECT_EQ(*parsed, entries) << Show(*parsed);
  EXPECT_EQ(BuildEnvironmentBlock(Entries{}), Text(1, u'\0'));
  const std::map<Text, Text> map{{u"A", u"1"}};
  EXPECT_EQ(BuildEnvironmentBlock(map), Block({u"A=1"}));
}

TEST(EnvironmentBlockTest, MeasuresUpToTheFinalZero) {
  struct Row {
    Text block;
    size_t length;
  } rows[] = {
      {Text(2, u'\0'), 2},
      {Block({u"A=1"}), 5},
      {Block({u"A=1", u"BB=22"}) + u"after", 11},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(EnvironmentBlockLength(row.block.c_str()), row.length)
        << Show(*ParseEnvironmentBlock(row.block));
  }
}

TEST(EnvironmentBlockTest, TheProgramsOwnVariablesOverlayAnotherAccountsBlock) {
  const Text account = Block({u"APPDATA=C:\\Users\\anna\\Roaming", u"Path=C:\\anna",
                              u"TEMP=C:\\Users\\anna\\Temp", u"USERNAME=anna"});
  const Text inherited = Block(
      {u"DEPLOY=\\\\srv\\kit", u"Path=C:\\admin", u"TEMP=C:\\admin\\Temp", u"USERNAME=admin"});
  const Text current = Block({u"DEPLOY=\\\\srv\\kit", u"path=C:\\admin", u"TEMP=C:\\admin\\Temp",
                              u"TOOLS=C:\\tools", u"username=anna"});
  const auto overlaid = ParseEnvironmentBlock(OverlayProgramVariables(account, inherited, current));
  ASSERT_TRUE(overlaid);
  // Inherited and unchanged: the account's own value. Set or changed by the
  // program, or unknown to the account: the program's.
  EXPECT_EQ(Show(*overlaid),
            "APPDATA=C:\\Users\\anna\\Roaming;DEPLOY=\\\\srv\\kit;Path=C:\\anna;"
            "TEMP=C:\\Users\\anna\\Temp;TOOLS=C:\\tools;username=anna;");
}

}  // namespace
}  // namespace tarn::platform
