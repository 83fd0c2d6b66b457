#include "platform/profile_document.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/profile_struct_value.h"
#include "support/text_helpers.h"

namespace tarn::platform {
namespace {

using tarn::testing::T;

using namespace std::string_view_literals;

std::vector<uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

std::string Show(TextView text) {
  std::string out;
  for (char16_t c : text) out += c == 0 ? std::string("\\0") : ToUtf8(TextView(&c, 1));
  return out;
}

ProfileDocument Doc(std::string_view ansi) {
  return ProfileDocument::Parse(Bytes(ansi));
}

constexpr std::string_view kSample =
    "; header comment\r\n"
    "orphan=before any section\r\n"
    "[Settings]\r\n"
    "  Computer  =  PC01  \r\n"
    "\tWorkgroup\t=\tWORK\t\r\n"
    "Owner=\"  Quoted Owner  \"\r\n"
    "Org='Single'\r\n"
    "Half=\"open\r\n"
    "Mixed=\"a'\r\n"
    "Inner=\"a\"b\"\r\n"
    "OneQuote=\"\r\n"
    "NoQuotes=''\r\n"
    "Flag\r\n"
    "Empty=\r\n"
    "Computer=second\r\n"
    ";Comment=hidden\r\n"
    "Eq=a=b\r\n"
    "\r\n"
    "[ Spaced ]\r\n"
    "z=1\r\n"
    "[Cut]ignored=1\r\n"
    "c=2\r\n"
    "[Open\r\n"
    "o=3\r\n"
    "[]\r\n"
    "e=4\r\n"
    "[settings]\r\n"
    "Computer=from duplicate\r\n"
    "Extra=only in duplicate\r\n"
    "[Caf\xE9]\r\n"
    "x=\xE9t\xE9\r\n";

struct StringCase {
  std::string section;
  std::string key;
  std::string expected;
};

class GetStringTest : public ::testing::TestWithParam<StringCase> {};

TEST_P(GetStringTest, AnswersAsTheProfileFunction) {
  const ProfileDocument doc = Doc(kSample);
  const StringCase& c = GetParam();
  const ProfileBuffer got = doc.GetString(T(c.section), T(c.key), u"DEF", 200);
  EXPECT_EQ(Show(got.data), c.expected) << "[" << c.section << "] " << c.key;
  EXPECT_EQ(got.returned, got.data.size());
}

INSTANTIATE_TEST_SUITE_P(
    Sample, GetStringTest,
    ::testing::Values(
        StringCase{"Settings", "Computer", "PC01"}, StringCase{"SETTINGS", "computer", "PC01"},
        StringCase{"  Settings  ", "  Computer ", "PC01"},
        StringCase{"Settings", "Workgroup", "WORK"},
        StringCase{"Settings", "Owner", "  Quoted Owner  "},
        StringCase{"Settings", "Org", "Single"}, StringCase{"Settings", "Half", "\"open"},
        StringCase{"Settings", "Mixed", "\"a'"}, StringCase{"Settings", "Inner", "a\"b"},
        StringCase{"Settings", "OneQuote", "\""}, StringCase{"Settings", "NoQuotes", ""},
        StringCase{"Settings", "Flag", "DEF"}, StringCase{"Settings", "Empty", ""},
        StringCase{"Settings", ";Comment", "DEF"}, StringCase{"Settings", "Eq", "a=b"},
        StringCase{"Settings", "Extra", "DEF"}, StringCase{"Settings", "orphan", "DEF"},
        StringCase{"Spaced", "z", "1"}, StringCase{"Cut", "c", "2"},
        StringCase{"Cut]ignored=1", "c", "DEF"}, StringCase{"Open", "o", "3"},
        StringCase{"", "e", "4"}, StringCase{"CAF\xC3\x89", "X", "\xC3\xA9t\xC3\xA9"},
        StringCase{"Missing", "x", "DEF"}));

TEST(ProfileDocumentTest, DefaultLosesTrailingSpacesOnly) {
  const ProfileDocument doc = Doc(kSample);
  EXPECT_EQ(Show(doc.GetString(u"x", u"y", u"  a b \t  ", 50).data), "  a b \t");
}

struct CutCase {
  std::string key;
  uint32_t capacity;
  std::string expected;
  uint32_t returned;
};

class StringCutTest : public ::testing::TestWithParam<CutCase> {};

TEST_P(StringCutTest, CutsAtTheBufferAsTheFunctionDoes) {
  const ProfileDocument doc = Doc("[s]\r\nplain=value1\r\nquoted=\"quoted\"\r\n");
  const CutCase& c = GetParam();
  const ProfileBuffer got = doc.GetString(u"s", T(c.key), u"default", c.capacity);
  EXPECT_EQ(Show(got.data), c.expected) << c.key << " capacity " << c.capacity;
  EXPECT_EQ(got.returned, c.returned) << c.key << " capacity " << c.capacity;
}

INSTANTIATE_TEST_SUITE_P(
    Capacities, StringCutTest,
    ::testing::Values(CutCase{"plain", 0, "", 0}, CutCase{"plain", 1, "", 0},
                      CutCase{"plain", 2, "v", 1}, CutCase{"plain", 6, "value", 5},
                      CutCase{"plain", 7, "value1", 6}, CutCase{"quoted", 6, "quote", 5},
                      CutCase{"quoted", 7, "quoted", 6}, CutCase{"missing", 4, "def", 3}));

TEST(ProfileDocumentTest, VeryLongValueIsCutAtTheCallersBuffer) {
  const std::string longValue(100000, 'x');
  const ProfileDocument doc = Doc("[s]\r\nk=" + longValue + "\r\nafter=1\r\n");
  const ProfileBuffer got = doc.GetString(u"s", u"k", u"", 4096);
  EXPECT_EQ(got.returned, 4095u);
  EXPECT_EQ(got.data, Text(4095, u'x'));
  EXPECT_EQ(doc.GetInt(u"s", u"after", 0), 1);
  EXPECT_EQ(doc.FindValue(u"s", u"k")->size(), 100000u);
}

struct IntCase {
  std::string value;
  int32_t expected;
};

class GetIntTest : public ::testing::TestWithParam<IntCase> {};

TEST_P(GetIntTest, ReadsTheLeadingNumber) {
  const ProfileDocument doc = Doc("[s]\r\nk=" + GetParam().value + "\r\n");
  EXPECT_EQ(doc.GetInt(u"s", u"k", 77), GetParam().expected) << "value " << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, GetIntTest,
                         ::testing::Values(IntCase{"12", 12}, IntCase{" 12abc", 12},
                                           IntCase{"-5", -5}, IntCase{"+3", 3}, IntCase{"", 77},
                                           IntCase{"\"\"", 77}, IntCase{"abc", 0},
                                           IntCase{"4294967297", 1}, IntCase{"42A94967297", 42},
                                           IntCase{"0x10", 16}, IntCase{"0X10", 0},
                                           IntCase{"010", 10}, IntCase{"\" 7\"", 7},
                                           IntCase{"-", 0}));

TEST(ProfileDocumentTest, GetIntOfMissingKeyAndKeyWithoutValueIsTheDefault) {
  const ProfileDocument doc = Doc("[s]\r\nflag\r\n");
  EXPECT_EQ(doc.GetInt(u"s", u"flag", -9), -9);
  EXPECT_EQ(doc.GetInt(u"s", u"none", 5), 5);
}

constexpr std::string_view kSections =
    "[section1]\r\nname1=val1\r\nname2=\r\nname3\r\n;note=x\r\nname4=val4\r\n"
    "[section1]\r\nsecond=1\r\n";

struct ListCase {
  uint32_t capacity;
  std::u16string_view expected;
  uint32_t returned;
};

class GetSectionTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(GetSectionTest, ListsTheFirstSectionCutAtTheBuffer) {
  const ProfileDocument doc = Doc(kSections);
  const ListCase& c = GetParam();
  const ProfileBuffer got = doc.GetSection(u"SECTION1", c.capacity);
  EXPECT_EQ(Show(got.data), Show(c.expected)) << "capacity " << c.capacity;
  EXPECT_EQ(got.returned, c.returned) << "capacity " << c.capacity;
}

INSTANTIATE_TEST_SUITE_P(
    Capacities, GetSectionTest,
    ::testing::Values(ListCase{100, u"name1=val1\0name2=\0name3\0name4=val4\0"sv, 35},
                      ListCase{37, u"name1=val1\0name2=\0name3\0name4=val4\0"sv, 35},
                      ListCase{36, u"name1=val1\0name2=\0name3\0name4=val4\0"sv, 34},
                      ListCase{24, u"name1=val1\0name2=\0name\0"sv, 22},
                      ListCase{13, u"name1=val1\0"sv, 11}, ListCase{3, u"n\0"sv, 1},
                      ListCase{2, u""sv, 0}, ListCase{1, u""sv, 0}));

TEST(ProfileDocumentTest, GetSectionOfMissingOrEmptySectionIsEmpty) {
  const ProfileDocument doc = Doc("[empty]\r\n\r\n;only a comment\r\n[full]\r\na=1\r\n");
  EXPECT_EQ(doc.GetSection(u"empty", 3).returned, 0u);
  EXPECT_EQ(doc.GetSection(u"missing", 3).returned, 0u);
  EXPECT_TRUE(doc.HasSection(u"EMPTY"));
  EXPECT_FALSE(doc.HasSection(u"missing"));
}

class SectionNamesTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(SectionNamesTest, ListsEveryNamedSectionCutAtTheBuffer) {
  const ProfileDocument doc = Doc("[ section1 ]\r\n[section2]\r\n[]\r\n[section3]\r\n");
  const ListCase& c = GetParam();
  const ProfileBuffer got = doc.GetSectionNames(c.capacity);
  EXPECT_EQ(Show(got.data), Show(c.expected)) << "capacity " << c.capacity;
  EXPECT_EQ(got.returned, c.returned) << "capacity " << c.capacity;
}

INSTANTIATE_TEST_SUITE_P(Capacities, SectionNamesTest,
                         ::testing::Values(ListCase{29, u"section1\0section2\0section3\0"sv, 27},
                                           ListCase{28, u"section1\0section2\0section3\0"sv, 26},
                                           ListCase{27, u"section1\0section2\0section\0"sv, 25},
                                           ListCase{12, u"section1\0s\0"sv, 10},
                                           ListCase{11, u"section1\0"sv, 9},
                                           ListCase{2, u""sv, 0}));

TEST(ProfileDocumentTest, SectionNamesKeepDuplicatesInFileOrder) {
  const ProfileDocument doc = Doc(kSections);
  EXPECT_EQ(Show(doc.GetSectionNames(100).data), Show(u"section1\0section1\0"sv));
}

TEST(ProfileDocumentTest, BufferDoublingLoopReadsAWholeLongSection) {
  std::string file = "[big]\r\n";
  Text expected;
  for (int i = 0; i < 500; ++i) {
    const std::string line = "key" + std::to_string(i) + "=value number " + std::to_string(i);
    file += line + "\r\n";
    expected += T(line) + u'\0';
  }
  const ProfileDocument doc = Doc(file);
  uint32_t capacity = 512;
  ProfileBuffer got = doc.GetSection(u"big", capacity);
  while (got.returned == capacity - 2) {
    capacity *= 2;
    got = doc.GetSection(u"big", capacity);
  }
  EXPECT_EQ(got.data, expected) << "final capacity " << capacity;
  EXPECT_EQ(got.returned, expected.size());
}

TEST(ProfileDocumentTest, StructValueRoundTripsWithItsChecksum) {
  const std::vector<uint8_t> bytes = {'a', 'b', 'a', 'c', 'u', 's', 0};
  EXPECT_EQ(ToUtf8(FormatStructValue(bytes)), "616261637573006F");
  ProfileDocument doc;
  doc.WriteString(u"s", u"key", FormatStructValue(bytes));
  EXPECT_EQ(doc.GetStruct(u"s", u"key", 7), bytes);
  EXPECT_EQ(doc.GetStruct(u"s", u"key", 6), std::nullopt);
  EXPECT_EQ(doc.GetStruct(u"s", u"key", 8), std::nullopt);
}

struct StructCase {
  std::string value;
  bool accepted;
};

class StructValueTest : public ::testing::TestWithParam<StructCase> {};

TEST_P(StructValueTest, AcceptsOnlyMatchingLengthAndChecksum) {
  const ProfileDocument doc = Doc("[s]\r\nkey=" + GetParam().value + "\r\n");
  EXPECT_EQ(doc.GetStruct(u"s", u"key", 7).has_value(), GetParam().accepted) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, StructValueTest,
                         ::testing::Values(StructCase{"6361637475730083", true},
                                           StructCase{"636163747573006F", false},
                                           StructCase{"6361637475730083 ", true},
                                           StructCase{"636163747573008Q", false},
                                           StructCase{"16361637475730083", false},
                                           StructCase{"6361637475730083"
                                                      "00",
                                                      false},
                                           StructCase{"6361636475730083", false}));

TEST(ProfileDocumentTest, EmptyStructIsJustTheChecksum) {
  EXPECT_EQ(ToUtf8(FormatStructValue({})), "00");
  const ProfileDocument doc = Doc("[s]\r\nk=00\r\n");
  EXPECT_EQ(doc.GetStruct(u"s", u"k", 0), std::vector<uint8_t>());
}

}  // namespace
}  // namespace tarn::platform
