#include <gtest/gtest.h>

#include <vector>

#include "catalogue/installation_tests.h"

namespace tarn::catalogue {
namespace {

// Outcomes of tests 0..n-1 given as a string of '0' and '1'.
std::vector<char> Outcomes(const char* bits) {
  return {bits, bits + std::char_traits<char>::length(bits)};
}

bool Evaluate(const char16_t* expression, const char* bits) {
  const std::vector<char> chars = Outcomes(bits);
  bool results[16] = {};
  for (size_t i = 0; i < chars.size(); ++i) results[i] = chars[i] == '1';
  return EvaluateTestExpression(expression, std::span<const bool>(results, chars.size()));
}

TEST(TestExpressionTest, EvaluatesLeftToRightWithoutPrecedence) {
  struct Row {
    const char16_t* expression;
    const char* tests;
    bool expected;
  } rows[] = {
      {u"0", "1", true},
      {u"0", "0", false},
      {u"0|1", "01", true},
      {u"0|1", "00", false},
      {u"0&1", "11", true},
      {u"0&1", "10", false},
      {u"0!1", "10", true},
      {u"0!1", "11", false},
      {u"0!1", "00", false},
      {u"0=1", "00", true},
      {u"0=1", "10", false},
      // (0 and 1) or 2, not 0 and (1 or 2)
      {u"0&1|2", "001", true},
      {u"0&1|2", "110", true},
      // (0 or 1) and 2, not 0 or (1 and 2)
      {u"0|1&2", "100", false},
      {u" 0 | 1 ", "01", true},
      {u"\t1\t&\t0", "11", true},
      {u"0x1", "01", true},
      {u"01", "01", true},
      {u"010", "00000000", true},  // octal 8: beyond the last test
      {u"+1", "01", true},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Evaluate(row.expression, row.tests), row.expected)
        << ToUtf8(row.expression) << " with " << row.tests;
  }
}

TEST(TestExpressionTest, NumberBeyondTheLastTestMakesTheWholeExpressionTrue) {
  EXPECT_TRUE(Evaluate(u"2", "00"));
  EXPECT_TRUE(Evaluate(u"0&2", "00"));
  EXPECT_TRUE(Evaluate(u"0&1&99999999999", "00"));
  EXPECT_TRUE(Evaluate(u"0", ""));
  EXPECT_TRUE(Evaluate(u"0x7fffffff", "0"));
}

TEST(TestExpressionTest, NumberWithoutOperatorIsIgnored) {
  EXPECT_FALSE(Evaluate(u"0 1", "01"));
  EXPECT_TRUE(Evaluate(u"1 0", "01"));
  EXPECT_TRUE(Evaluate(u"0 1|1", "01")) << "the operator after an ignored number is used";
  // The range check comes before the number is ignored.
  EXPECT_TRUE(Evaluate(u"0 5", "01"));
}

TEST(TestExpressionTest, MalformedInputEndsTheExpressionWithTheResultSoFar) {
  struct Row {
    const char16_t* expression;
    const char* tests;
    bool expected;
  } rows[] = {
      {u"", "0", true},     {u"   ", "0", true},     {u"-1", "0", true},    {u"0&-1", "0", false},
      {u"0&-1", "1", true}, {u"0 x 1", "01", false}, {u"0&&1", "10", true}, {u"&0", "0", true},
      {u"0&", "0", false},  {u"0x", "0", false},     {u"(0)", "0", true},   {u"0|(1)", "01", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Evaluate(row.expression, row.tests), row.expected)
        << ToUtf8(row.expression) << " with " << row.tests;
  }
}

}  // namespace
}  // namespace tarn::catalogue
