#include "catalogue/version_compare.h"

#include <gtest/gtest.h>

namespace tarn::catalogue {
namespace {

std::string Show(const VersionParts& v) {
  return std::to_string(v[0]) + "." + std::to_string(v[1]) + "." + std::to_string(v[2]) + "." +
         std::to_string(v[3]);
}

TEST(VersionCompareTest, ReadsPartsWithAutomaticBaseAndCutsThemTo16Bits) {
  struct Row {
    const char16_t* text;
    VersionParts parts;
  } rows[] = {
      {u"6.0.2900.2180", {6, 0, 2900, 2180}},
      {u"6.0", {6, 0, 0, 0}},
      {u"1,2,3,4", {1, 2, 3, 4}},
      {u"1.2,3.4", {1, 2, 3, 4}},
      {u"0x10.010.10", {16, 8, 10, 0}},
      {u"65536.65537.0x1FFFF", {0, 1, 0xFFFF, 0}},
      {u"1.2.3.4.5.6", {1, 2, 3, 4}},
      {u"", {0, 0, 0, 0}},
      {u"beta", {0, 0, 0, 0}},
      {u"1..3", {1, 0, 3, 0}},
      {u"2 (build 7)", {2, 0, 0, 0}},
      {u"08.1", {0, 1, 0, 0}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Show(ParseVersionText(row.text)), Show(row.parts)) << ToUtf8(row.text);
  }
}

TEST(VersionCompareTest, FirstDifferingPartDecides) {
  struct Row {
    const char16_t* a;
    const char16_t* b;
    int expected;
  } rows[] = {
      {u"1.2", u"1.2.0.0", 0},
      {u"2.0.0.0", u"1.9.9.9", 1},
      {u"6.0", u"6.0.2900.2180", -1},
      {u"1.10", u"1.9", 1},
      {u"65536", u"0", 0},
      {u"0x10", u"16", 0},
      {u"1.2.3.4.9", u"1.2.3.4.1", 0},
      {u"0.0.0.1", u"0.0.1", -1},
  };
  for (const auto& row : rows) {
    const int got = CompareVersions(ParseVersionText(row.a), ParseVersionText(row.b));
    EXPECT_EQ((got > 0) - (got < 0), row.expected) << ToUtf8(row.a) << " vs " << ToUtf8(row.b);
  }
}

TEST(VersionCompareTest, NormalisesResourceVersionStrings) {
  struct Row {
    const char16_t* text;
    const char16_t* expected;
  } rows[] = {
      {u"1, 2, 3, 4", u"1.2.3.4"},
      {u"2.5", u"2.5.0.0"},
      {u"10_0_1", u"10.0.1.0"},
      {u"0x1F.010", u"31.8.0.0"},
      {u"6.0.2900.2180 (xpsp.040801-1234)", u"6.0.2900.2180.0.32"},
      {u"7", u"7.0.0.0"},
      {u"  3 .  4  ", u"3.4.0.0"},
      {u"beta", u""},
      {u"", u""},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(ToUtf8(NormaliseVersionString(row.text)), ToUtf8(row.expected)) << ToUtf8(row.text);
  }
}

TEST(VersionCompareTest, FormatsFixedVersionsHighHalfFirst) {
  EXPECT_EQ(ToUtf8(FormatFixedVersion(0x0006000008D40884ull)), "6.0.2260.2180");
  EXPECT_EQ(ToUtf8(FormatFixedVersion(0xFFFF000000000001ull)), "65535.0.0.1");
  EXPECT_EQ(ToUtf8(FormatFixedVersion(0)), "0.0.0.0");
}

}  // namespace
}  // namespace tarn::catalogue
