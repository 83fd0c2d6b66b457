#include "base/text.h"

#include <gtest/gtest.h>

#include "base/fixed_text.h"

namespace tarn {
namespace {

TEST(TextTest, Utf8RoundTripKeepsEveryPlane) {
  const std::string original =
      "Gr\xC3\xBC\xC3\x9F"
      "e \xE2\x82\xAC \xF0\x9F\x98\x80";
  const Text wide = FromUtf8(original);
  EXPECT_EQ(wide.size(), 10u) << ToUtf8(wide);
  EXPECT_EQ(ToUtf8(wide), original);
}

TEST(TextTest, MalformedUtf8BecomesReplacementCharacters) {
  EXPECT_EQ(FromUtf8("a\xC3"), Text(u"a\uFFFD"));
  EXPECT_EQ(FromUtf8("\xC0\xAF"), Text(u"\uFFFD\uFFFD"));
  EXPECT_EQ(FromUtf8("\xED\xA0\x80x"), Text(u"\uFFFD\uFFFD\uFFFDx"));
}

TEST(TextTest, CaseInsensitiveComparisonsFoldLatinAndCyrillic) {
  struct Row {
    const char16_t* a;
    const char16_t* b;
    bool equal;
  } rows[] = {
      {u"Install.INI", u"install.ini", true},
      {u"\u00e4rger", u"\u00c4RGER", true},
      {u"\u0434\u043e\u043c", u"\u0414\u041e\u041c", true},
      {u"abc", u"abd", false},
      {u"abc", u"abcd", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(EqualsIgnoreCase(row.a, row.b), row.equal)
        << ToUtf8(row.a) << " vs " << ToUtf8(row.b);
  }
  EXPECT_TRUE(StartsWithIgnoreCase(u"/INI=x", u"/ini="));
  EXPECT_EQ(FindIgnoreCase(u"a%UserProfile%b", u"%USERPROFILE%"), 1u);
}

TEST(TextTest, DecimalPrefixReadsLikeStrToInt) {
  struct Row {
    const char16_t* text;
    int32_t value;
  } rows[] = {{u"15", 15}, {u"-7x", -7}, {u"+3", 3},   {u"abc", 0},
              {u" 5", 0},  {u"", 0},     {u"12a4", 12}};
  for (const auto& row : rows)
    EXPECT_EQ(ParseDecimalPrefix(row.text), row.value) << ToUtf8(row.text);
}

TEST(TextTest, AutoBaseNumbers) {
  struct Row {
    const char16_t* text;
    uint32_t value;
    size_t consumed;
  } rows[] = {
      {u"0x100", 0x100, 5},  {u"010", 8, 3}, {u"0", 0, 1},   {u"42z", 42, 2},
      {u"0x", 0, 1},         {u"zz", 0, 0},  {u"089", 0, 1}, {u"99999999999", 0xFFFFFFFF, 11},
      {u"-1", 0xFFFFFFFF, 2}};
  for (const auto& row : rows) {
    size_t consumed = 99;
    EXPECT_EQ(ParseNumberAutoBase(row.text, &consumed), row.value) << ToUtf8(row.text);
    EXPECT_EQ(consumed, row.consumed) << ToUtf8(row.text);
  }
}

TEST(TextTest, DigitValueCoversBaseThirtySixAndRejectsEverythingElse) {
  struct Row {
    char16_t c;
    int value;
  } digits[] = {{u'0', 0},  {u'9', 9},  {u'a', 10}, {u'A', 10}, {u'f', 15},
                {u'F', 15}, {u'g', 16}, {u'z', 35}, {u'Z', 35}};
  for (const Row& row : digits) EXPECT_EQ(DigitValue(row.c), row.value) << char(row.c);
  // The neighbours of each range, a full-width digit and a Latin-1 letter.
  for (char16_t c : {u'/', u':', u'@', u'[', u'`', u'{', u'\0', u'\uFF10', u'\u00E9'}) {
    EXPECT_GE(DigitValue(c), 36) << static_cast<int>(c);
  }
}

TEST(TextTest, HexByteReadsTwoDigitsOfEitherCase) {
  EXPECT_EQ(HexByte(u'0', u'0'), std::optional<uint8_t>(0x00));
  EXPECT_EQ(HexByte(u'7', u'f'), std::optional<uint8_t>(0x7F));
  EXPECT_EQ(HexByte(u'F', u'e'), std::optional<uint8_t>(0xFE));
  EXPECT_EQ(HexByte(u'g', u'0'), std::nullopt);
  EXPECT_EQ(HexByte(u'0', u':'), std::nullopt);
  EXPECT_EQ(HexByte(u' ', u'1'), std::nullopt);
}

TEST(TextTest, ScanNumberAutoBaseSkipsNoBlanksAndSaturatesAtTheLimit) {
  constexpr uint64_t kIntLimit = 0x7FFFFFFF;
  struct Row {
    const char16_t* text;
    uint64_t limit;
    bool negative;
    uint64_t magnitude;
    size_t length;
  } rows[] = {
      {u"-0x1Fz", kIntLimit, true, 0x1F, 5},
      {u"+017", kIntLimit, false, 15, 4},
      {u"2147483647", kIntLimit, false, kIntLimit, 10},
      {u"2147483648", kIntLimit, false, kIntLimit + 1, 10},
      {u"-99999999999", kIntLimit, true, kIntLimit + 1, 12},
      {u"0xFFFFFFFFF", 0xFFFFFFFF, false, 0x100000000, 11},
      {u" 5", kIntLimit, false, 0, 0},
      {u"-", kIntLimit, false, 0, 0},
      {u"-x", kIntLimit, false, 0, 0},
  };
  for (const Row& row : rows) {
    const AutoBaseNumber number = ScanNumberAutoBase(row.text, row.limit);
    EXPECT_EQ(number.negative, row.negative) << ToUtf8(row.text);
    EXPECT_EQ(number.magnitude, row.magnitude) << ToUtf8(row.text);
    EXPECT_EQ(number.length, row.length) << ToUtf8(row.text);
  }
}

TEST(TextTest, FixedTextCutsAtCapacityAndNeverSplitsSurrogates) {
  FixedText<4> field;
  EXPECT_FALSE(field.Assign(u"abcdef"));
  EXPECT_EQ(field.str(), u"abcd");
  EXPECT_TRUE(field.Assign(u"ab"));
  EXPECT_EQ(field.str(), u"ab");
  field = u"abc\U0001F600";
  EXPECT_EQ(field.str(), u"abc");
}

TEST(TextTest, CutToBufferKeepsOneUnitForTheTerminator) {
  struct Row {
    const char16_t* value;
    size_t buffer;
    const char16_t* expected;
  } rows[] = {
      {u"abc", 0, u""},      {u"abc", 1, u""},          {u"abc", 3, u"ab"}, {u"abc", 4, u"abc"},
      {u"abc", 100, u"abc"}, {u"a\U0001F600", 3, u"a"},  // the pair does not fit: both halves go
  };
  for (const Row& row : rows) {
    EXPECT_EQ(CutToBuffer(row.value, row.buffer), row.expected)
        << ToUtf8(row.value) << " in " << row.buffer;
  }
}

TEST(TextTest, Utf16LeBytesRoundTrip) {
  std::vector<uint8_t> bytes{0xEE};  // what was there before stays
  AppendUtf16Le(bytes, u"A\u20AC");
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0xEE, 0x41, 0x00, 0xAC, 0x20}));
  const std::vector<uint8_t> stored{0x41, 0x00, 0x00, 0x00, 0x42, 0x00, 0x43};
  EXPECT_EQ(TextFromUtf16Le(stored, true), u"A");
  EXPECT_EQ(TextFromUtf16Le(stored, false), (Text{u'A', 0, u'B'}));  // odd byte dropped
  EXPECT_EQ(TextFromUtf16Le({}, false), u"");
}

}  // namespace
}  // namespace tarn
