#include "base/format.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn {
namespace {

struct Row {
  const char16_t* format;
  std::vector<FormatArg> args;
  const char16_t* expected;
};

void ExpectRows(const std::vector<Row>& rows) {
  for (const Row& row : rows) {
    const Text actual = FormatText(row.format, row.args);
    EXPECT_EQ(actual, Text(row.expected))
        << "format \"" << ToUtf8(row.format) << "\" gave \"" << ToUtf8(actual) << "\"";
  }
}

TEST(FormatTest, ConversionsMatchSwprintf) {
  const Text name = u"Alice";
  ExpectRows({
      {u"%s(%d): %s, %s - %s\r\n",
       {u"Warning", 0, u"1.2.2026", u"10:00:00", u"m"},
       u"Warning(0): 1.2.2026, 10:00:00 - m\r\n"},
      {u"%d seconds", {15}, u"15 seconds"},
      {u"%i|%u|%x|%X|%o", {-7, 7u, 255, 255, 8}, u"-7|7|ff|FF|10"},
      {u"%5d|%-5d|%05d|%+d|% d", {42, 42, 42, 42, 42}, u"   42|42   |00042|+42| 42"},
      {u"%.3d|%8.3d|%-8.3d|", {5, 5, 5}, u"005|     005|005     |"},
      {u"%#x|%#X|%#o|%#x", {255, 255, 8, 0}, u"0xff|0XFF|010|0"},
      {u"%08.3x", {0x1f}, u"     01f"},
      {u"%-8s|%8s|%.2s", {name, name, name}, u"Alice   |   Alice|Al"},
      {u"%S %ls %hs", {u"a", u"b", u"c"}, u"a b c"},
      {u"%ld %lld %I64d %hd %I32d", {1, 2LL, 3LL, 4, 5}, u"1 2 3 4 5"},
      {u"%c%c", {65, 0x00e4}, u"A\u00e4"},
      {u"%x", {-1}, u"ffffffff"},
      {u"%llx", {-1LL}, u"ffffffffffffffff"},
      {u"%d", {-2147483647 - 1}, u"-2147483648"},
      {u"%u", {4294967295u}, u"4294967295"},
      {u"%lld", {static_cast<long long>(INT64_MIN)}, u"-9223372036854775808"},
      {u"100%%", {}, u"100%"},
      {u"%.0d|", {0}, u"|"},
      {u"", {1}, u""},
  });
}

TEST(FormatTest, HostileFormatsStayLiteralAndNeverReadPastArguments) {
  ExpectRows({
      {u"%s %s %s", {u"one"}, u"one %s %s"},
      {u"%d%d%d%d%d%d%d%d", {}, u"%d%d%d%d%d%d%d%d"},
      {u"%s", {42}, u"%s"},
      {u"%d", {u"text"}, u"%d"},
      {u"%c", {u"text"}, u"%c"},
      {u"%n%p", {1, 2}, u"%n%p"},
      {u"%*d", {5, 6}, u"%*d"},
      {u"%.*s", {3, u"abc"}, u"%.*s"},
      {u"%f %e %g", {1, 2, 3}, u"%f %e %g"},
      {u"%", {1}, u"%"},
      {u"abc%", {}, u"abc%"},
      {u"%-0+ #", {}, u"%-0+ #"},
      {u"%123", {}, u"%123"},
      {u"%ll", {1}, u"%ll"},
      {u"%I64", {1}, u"%I64"},
      // The mismatched argument is used up, so the next keeps its place.
      {u"%s=%d", {7, 8}, u"%s=8"},
      {u"no conversions", {1, 2, 3}, u"no conversions"},
  });
}

TEST(FormatTest, HugeWidthsAndPrecisionsAreLimited) {
  const Text wide = Format(u"%99999999999999999999d", {1});
  EXPECT_EQ(wide.size(), 1024u);
  const Text precise = Format(u"%.4000000000d", {1});
  EXPECT_EQ(precise.size(), 1024u);
  const Text text = Format(u"%5000s", {u"x"});
  EXPECT_EQ(text.size(), 1024u);
}

TEST(FormatTest, NullTextArgumentIsEmpty) {
  const char16_t* none = nullptr;
  EXPECT_EQ(Format(u"[%s]", {none}), u"[]");
}

TEST(FormatTest, EmbeddedZeroInTextIsKept) {
  const Text withZero(u"a\0b", 3);
  EXPECT_EQ(Format(u"%s", {withZero}).size(), 3u);
}

}  // namespace
}  // namespace tarn
