#include "wizard/row_search.h"

#include <gtest/gtest.h>

#include <vector>

namespace tarn::wizard {
namespace {

const std::vector<Text> kRows = {u"Applications", u"Adobe Reader", u"Browser", u"ärger",
                                 u"apple tools"};

std::optional<size_t> Find(size_t start, TextView prefix, bool wrap) {
  return FindRowByPrefix(kRows.size(), start, prefix, wrap, [](size_t row) { return kRows[row]; });
}

TEST(RowSearchTest, TypedLettersFindTheNextRowThatBeginsWithThem) {
  struct Case {
    size_t start;
    const char16_t* prefix;
    bool wrap;
    std::optional<size_t> row;
  };
  const Case cases[] = {
      {0, u"a", true, 0},   // the start row itself counts
      {1, u"a", true, 1},   // a second press of the letter goes on
      {2, u"A", true, 4},   // letter case aside
      {2, u"ad", true, 1},  // past the end, on from the first row
      {2, u"ad", false, std::nullopt},
      {0, u"Ä", true, 3},  // beyond ASCII too
      {0, u"browser x", true, std::nullopt},
      {0, u"", true, std::nullopt},
      {9, u"b", false, 2},  // a start past the last row begins at the first
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Find(c.start, c.prefix, c.wrap), c.row)
        << ToUtf8(c.prefix) << " from " << c.start << (c.wrap ? " wrapping" : "");
  }
}

}  // namespace
}  // namespace tarn::wizard
