#include "catalogue/conditional_text.h"

#include <gtest/gtest.h>

namespace tarn::catalogue {
namespace {

struct Row {
  const char16_t* value;
  const char16_t* whenTrue;
  const char16_t* whenFalse;
};

void Check(const Row& row) {
  for (const bool condition : {true, false}) {
    Text value = row.value;
    const bool changed = ApplyConditionalText(value, condition);
    const Text expected = condition ? row.whenTrue : row.whenFalse;
    EXPECT_EQ(ToUtf8(value), ToUtf8(expected)) << ToUtf8(row.value) << " / " << condition;
    EXPECT_LE(value.size(), Text(row.value).size()) << ToUtf8(row.value);
    const bool hasConstruct = Text(row.whenTrue) != row.value || Text(row.whenFalse) != row.value;
    if (hasConstruct) {
      EXPECT_TRUE(changed) << ToUtf8(row.value);
    }
  }
}

TEST(ConditionalTextTest, ResolvesConstructsByCondition) {
  const Row rows[] = {
      {u"setup.exe if.true(\"/update\")if.false(\"/install\")", u"setup.exe /update",
       u"setup.exe /install"},
      {u"Viewer if.false(\"(not installed)\")", u"Viewer ", u"Viewer (not installed)"},
      {u"IF.TRUE(\"a\")-If.False(\"b\")-iF.tRuE(\"c\")", u"a--c", u"-b-"},
      {u"if.true(\"start\") middle", u"start middle", u" middle"},
      {u"if.false(\"*\")", u"", u"*"},
      {u"if.true(\"%ProgramFiles%\\x\") \"quoted\" 100%", u"%ProgramFiles%\\x \"quoted\" 100%",
       u" \"quoted\" 100%"},
      {u"if.true(\"a(b)c\")", u"a(b)c", u""},
      {u"iif.true(\"x\")", u"ix", u"i"},
      {u"if.true(\"x\")\")", u"x\")", u"\")"},
  };
  for (const auto& row : rows) Check(row);
}

TEST(ConditionalTextTest, LeavesValuesWithoutAWholeConstructUnchanged) {
  const char16_t* values[] = {
      u"if.true()",
      u"if.true(\"\")",
      u"if.true (\"x\")",
      u"if .true(\"x\")",
      u"if.true( \"x\")",
      u"if.true(\"x\" )",
      u"if.true(\"x)",
      u"if.maybe(\"x\")",
      u"if.true'x'",
      u"if.truex(\"x\")",
      u"if.",
      u"",
      u"plain \"text\" with %VAR%",
      u"if.false(\"unterminated)",
  };
  for (const char16_t* original : values) {
    for (const bool condition : {true, false}) {
      Text value = original;
      EXPECT_FALSE(ApplyConditionalText(value, condition)) << ToUtf8(original);
      EXPECT_EQ(value, Text(original)) << ToUtf8(original);
    }
  }
}

TEST(ConditionalTextTest, ConstructAfterABrokenOneIsStillFound) {
  Text value = u"if.true(\"x if.true(\"y\")";
  // The first candidate's quoted text runs to the quote before y, which is
  // not followed by ')', so only the second one matches.
  EXPECT_TRUE(ApplyConditionalText(value, false));
  EXPECT_EQ(ToUtf8(value), "if.true(\"x ");
}

TEST(ConditionalTextTest, LongValueWithManyConstructsStaysWithinItsLength) {
  Text value;
  for (int i = 0; i < 300; ++i) value += u"if.true(\"ab\")";
  const size_t before = value.size();
  EXPECT_TRUE(ApplyConditionalText(value, true));
  EXPECT_EQ(value.size(), 600u);
  EXPECT_LT(value.size(), before);
}

}  // namespace
}  // namespace tarn::catalogue
