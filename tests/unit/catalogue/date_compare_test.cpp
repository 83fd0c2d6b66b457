#include "catalogue/date_compare.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn::catalogue {
namespace {

std::vector<uint32_t> Given(const DateFields& fields) {
  return {fields.values.begin(), fields.values.begin() + static_cast<long>(fields.count)};
}

std::string Show(const std::vector<uint32_t>& values) {
  std::string out;
  for (uint32_t v : values) out += std::to_string(v) + " ";
  return out;
}

TEST(DateCompareTest, ReadsTheFieldsTheTextGives) {
  struct Row {
    const char16_t* text;
    std::vector<uint32_t> fields;
  } rows[] = {
      {u"2006-05-31", {2006, 5, 31}},
      {u"2006-05-31T18:30:00", {2006, 5, 31, 18, 30, 0}},
      {u"2006-05-31T18:30:00.250", {2006, 5, 31, 18, 30, 0, 250}},
      {u"2006/5/31 T7", {2006, 5, 31, 7}},
      {u"2006", {2006}},
      {u"2006-", {2006}},
      {u"2006-05", {2006, 5}},
      {u"2006--05", {2006}},
      {u"", {}},
      {u"abc", {}},
      // 'T' means time only after the day; before it, it ends a number.
      {u"2006T05T31", {2006, 5, 31}},
      {u"2006-05-31t18", {2006, 5, 31}},
      // Extra numbers before the time are skipped, extra time numbers ignored.
      {u"2006-05-31-07T10:11", {2006, 5, 31, 10, 11}},
      {u"2006-05-31-07", {2006, 5, 31}},
      {u"2006-05-31T1:2:3:4:5:6", {2006, 5, 31, 1, 2, 3, 4}},
      {u"99999999999-1-1", {4294967295u, 1, 1}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Show(Given(ParseDateText(row.text))), Show(row.fields)) << ToUtf8(row.text);
  }
}

TEST(DateCompareTest, ComparesOnlyTheFieldsGiven) {
  const platform::SystemTime actual{2006, 5, 3, 31, 18, 30, 15, 500};
  struct Row {
    const char16_t* text;
    int expected;
  } rows[] = {
      {u"2006-05-31", 0},
      {u"2006-05-30", 1},
      {u"2006-06-01", -1},
      {u"2006", 0},
      {u"2007", -1},
      {u"2006-05-31T18", 0},
      {u"2006-05-31T18:31", -1},
      {u"2006-05-31T18:30:15", 0},
      {u"2006-05-31T18:30:15.499", 1},
      {u"", 0},
      {u"2005-12-31T23:59:59", 1},
      {u"2006-5-31", 0},
  };
  for (const auto& row : rows) {
    const int got = CompareDate(actual, ParseDateText(row.text));
    EXPECT_EQ((got > 0) - (got < 0), row.expected) << ToUtf8(row.text);
  }
}

}  // namespace
}  // namespace tarn::catalogue
