#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_document.h"
#include "support/text_helpers.h"

namespace tarn::platform {
namespace {

using tarn::testing::T;

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}
std::string AsString(const std::vector<uint8_t>& bytes) {
  return {bytes.begin(), bytes.end()};
}

struct WriteCase {
  std::string name;
  std::string before;
  std::string section;
  std::optional<std::string> key;
  std::optional<std::string> value;
  std::string after;
};

std::optional<TextView> View(const std::optional<Text>& text) {
  if (!text) return std::nullopt;
  return TextView(*text);
}

class WriteStringTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteStringTest, EditsTheFileInPlace) {
  const WriteCase& c = GetParam();
  ProfileDocument doc = ProfileDocument::Parse(Bytes(c.before));
  std::optional<Text> key;
  std::optional<Text> value;
  if (c.key) key = T(*c.key);
  if (c.value) value = T(*c.value);
  doc.WriteString(T(c.section), View(key), View(value));
  EXPECT_EQ(AsString(doc.Serialize()), c.after) << c.name;
}

constexpr char kFile[] =
    "; settings of the lab\r\n"
    "[A]\r\n"
    "  k1 = v1 \r\n"
    ";keep me\r\n"
    "k2=v2\r\n"
    "\r\n"
    "[B]\r\n"
    "x=1\r\n"
    "[a]\r\n"
    "k9=duplicate\r\n";

INSTANTIATE_TEST_SUITE_P(
    Edits, WriteStringTest,
    ::testing::Values(
        WriteCase{"update keeps the name's spelling and the other lines", kFile, "a", "K1", "new",
                  "; settings of the lab\r\n[A]\r\nk1=new\r\n;keep me\r\nk2=v2\r\n\r\n[B]\r\n"
                  "x=1\r\n[a]\r\nk9=duplicate\r\n"},
        WriteCase{"append goes after the last line of the section", kFile, "A", "k3", "app",
                  "; settings of the lab\r\n[A]\r\n  k1 = v1 \r\n;keep me\r\nk2=v2\r\nk3=app\r\n"
                  "\r\n[B]\r\nx=1\r\n[a]\r\nk9=duplicate\r\n"},
        WriteCase{"new section at the end", kFile, " C ", " c1 ", " sp ",
                  std::string(kFile) + "[C]\r\nc1=sp\r\n"},
        WriteCase{"delete key", kFile, "A", "k2", std::nullopt,
                  "; settings of the lab\r\n[A]\r\n  k1 = v1 \r\n;keep me\r\n\r\n[B]\r\nx=1\r\n"
                  "[a]\r\nk9=duplicate\r\n"},
        WriteCase{"delete the first of duplicate sections", kFile, "a", std::nullopt, std::nullopt,
                  "; settings of the lab\r\n[B]\r\nx=1\r\n[a]\r\nk9=duplicate\r\n"},
        WriteCase{"deleting what is missing changes nothing", kFile, "A", "none", std::nullopt,
                  kFile},
        WriteCase{"deleting a missing section changes nothing", kFile, "Z", std::nullopt,
                  std::nullopt, kFile},
        WriteCase{"a key without value gets one", "[A]\r\nflag\r\n", "A", "flag", "1",
                  "[A]\r\nflag=1\r\n"},
        WriteCase{"the last line without a break", "[A]\r\nk=1", "A", "m", "2",
                  "[A]\r\nk=1\r\nm=2\r\n"},
        WriteCase{"new section after a last line without a break", "[A]\r\nk=1", "B", "m", "2",
                  "[A]\r\nk=1\r\n[B]\r\nm=2\r\n"},
        WriteCase{"new file", "", "N", "k", "v", "[N]\r\nk=v\r\n"},
        WriteCase{"a comment key is written, never matched", "[A]\r\n;c=old\r\n", "A", ";c", "x",
                  "[A]\r\n;c=old\r\n;c=x\r\n"},
        WriteCase{"quotes are written as given", "[A]\r\n", "A", "q", "\"v\"",
                  "[A]\r\nq=\"v\"\r\n"},
        WriteCase{"delete the last key of the file", "[A]\r\nk=1", "A", "k", std::nullopt,
                  "[A]\r\n"}));

TEST(ProfileDocumentWriteTest, WrittenValuesReadBack) {
  ProfileDocument doc = ProfileDocument::Parse(Bytes(kFile));
  doc.WriteString(u"A", u"k1", u"changed");
  doc.WriteString(u"A", u"k3", u"added");
  doc.WriteString(u"New", u"n", u"\"quoted\"");
  doc.WriteString(u"A", u"k2", std::nullopt);
  doc.WriteString(u"B", std::nullopt, std::nullopt);
  EXPECT_EQ(doc.FindValue(u"a", u"K1"), Text(u"changed"));
  EXPECT_EQ(doc.FindValue(u"A", u"k3"), Text(u"added"));
  EXPECT_EQ(doc.FindValue(u"new", u"N"), Text(u"quoted"));
  EXPECT_EQ(doc.FindValue(u"A", u"k2"), std::nullopt);
  EXPECT_FALSE(doc.HasSection(u"B"));
  const ProfileDocument reread = ProfileDocument::Parse(doc.Serialize());
  EXPECT_EQ(reread.FindValue(u"A", u"k1"), Text(u"changed"));
  EXPECT_EQ(reread.FindValue(u"a", u"k9"), std::nullopt) << "only the first [A] is read";
}

TEST(ProfileDocumentWriteTest, ValueWithALineBreakBecomesTwoLinesAsTheFunctionWritesIt) {
  ProfileDocument doc = ProfileDocument::Parse(Bytes("[A]\r\n"));
  doc.WriteString(u"A", u"k", u"one\r\n[Injected]\r\nx=1");
  EXPECT_EQ(doc.FindValue(u"A", u"k"), Text(u"one"));
  EXPECT_EQ(doc.FindValue(u"Injected", u"x"), Text(u"1"));
}

std::vector<uint8_t> Utf16(TextView text) {
  std::vector<uint8_t> bytes = {0xFF, 0xFE};
  for (char16_t c : text) {
    bytes.push_back(static_cast<uint8_t>(c & 0xFF));
    bytes.push_back(static_cast<uint8_t>(c >> 8));
  }
  return bytes;
}

TEST(ProfileDocumentEncodingTest, Utf16FileIsReadAndStaysUtf16) {
  ProfileDocument doc = ProfileDocument::Parse(Utf16(u"[U]\r\nk= \u4E2D\u6587 \r\n"));
  EXPECT_EQ(doc.FindValue(u"u", u"K"), Text(u"\u4E2D\u6587"));
  doc.WriteString(u"U", u"n", u"\u00E9\U0001F600");
  EXPECT_EQ(doc.Serialize(), Utf16(u"[U]\r\nk= \u4E2D\u6587 \r\nn=\u00E9\U0001F600\r\n"));
}

TEST(ProfileDocumentEncodingTest, Utf8WithByteOrderMarkIsReadAndStaysUtf8) {
  ProfileDocument doc = ProfileDocument::Parse(Bytes("\xEF\xBB\xBF[U8]\r\nk=\xC3\xA9\r\n"));
  EXPECT_EQ(doc.FindValue(u"U8", u"k"), Text(u"\u00E9"));
  doc.WriteString(u"U8", u"n", u"\u20AC");
  EXPECT_EQ(AsString(doc.Serialize()), "\xEF\xBB\xBF[U8]\r\nk=\xC3\xA9\r\nn=\xE2\x82\xAC\r\n");
}

TEST(ProfileDocumentEncodingTest, AnsiIsWindows1252AndUnmappableCharactersBecomeQuestionMarks) {
  ProfileDocument doc = ProfileDocument::Parse(Bytes("[A]\r\nk=\xE9\x80\x81\x9F\r\n"));
  EXPECT_EQ(doc.FindValue(u"A", u"k"), Text(u"\u00E9\u20AC\u0081\u0178"));
  doc.WriteString(u"A", u"n", u"\u00E9\u4E2D\U0001F600\u20AC");
  EXPECT_EQ(AsString(doc.Serialize()), "[A]\r\nk=\xE9\x80\x81\x9F\r\nn=\xE9??\x80\r\n");
}

TEST(ProfileDocumentEncodingTest, LineBreaksOfEveryKindSeparateLines) {
  const ProfileDocument doc = ProfileDocument::Parse(Bytes("[A]\na=1\rb=2\r\n\r\nc=3"));
  EXPECT_EQ(doc.FindValue(u"A", u"a"), Text(u"1"));
  EXPECT_EQ(doc.FindValue(u"A", u"b"), Text(u"2"));
  EXPECT_EQ(doc.FindValue(u"A", u"c"), Text(u"3"));
}

}  // namespace
}  // namespace tarn::platform
