#include <gtest/gtest.h>

#include <vector>

#include "catalogue/catalogue_navigation.h"
#include "catalogue/software_catalogue.h"
#include "catalogue/token_list.h"

namespace tarn::catalogue {
namespace {

// Builds a chain from levels and states; descriptions are the indexes.
SoftwareCatalogue Chain(std::initializer_list<std::pair<uint32_t, int32_t>> entries) {
  SoftwareCatalogue catalogue;
  int index = 0;
  for (auto [level, state] : entries) {
    SoftwareEntry* e = catalogue.AllocEntry();
    e->Level = level;
    e->State = state;
    e->SnapshotState = state == 0 ? 4 : 0;
    e->Description = DecimalText(index++);
  }
  return catalogue;
}

std::vector<SoftwareEntry*> All(const SoftwareCatalogue& c) {
  std::vector<SoftwareEntry*> v;
  for (SoftwareEntry* e = c.FirstEntry(); e; e = e->Next) v.push_back(e);
  return v;
}

int IndexOf(const std::vector<SoftwareEntry*>& all, const SoftwareEntry* e) {
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i] == e) return static_cast<int>(i);
  }
  return -1;
}

// 0 S
//   1 a
//     2 a0
//     3 a1
//       4 a1x
//   5 b
// 6 T
//   7 c
const std::initializer_list<std::pair<uint32_t, int32_t>> kTree = {{0, 12}, {1, 4}, {2, 4}, {2, 0},
                                                                   {3, 4},  {1, 0}, {0, 4}, {1, 4}};

TEST(CatalogueNavigation, ParentsChildrenAndSubtrees) {
  const SoftwareCatalogue catalogue = Chain(kTree);
  const auto all = All(catalogue);
  ASSERT_EQ(all.size(), 8u);
  const int parents[] = {-1, 0, 1, 1, 3, 0, -1, 6};
  const int firstChildren[] = {1, 2, -1, 4, -1, -1, 7, -1};
  const int afterSubtree[] = {6, 5, 3, 5, 5, 6, -1, -1};
  for (size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(IndexOf(all, ParentOf(all[i])), parents[i]) << "entry " << i;
    EXPECT_EQ(IndexOf(all, FirstChildOf(all[i])), firstChildren[i]) << "entry " << i;
    EXPECT_EQ(IndexOf(all, NextAfterSubtree(all[i])), afterSubtree[i]) << "entry " << i;
  }
  std::vector<int> visited;
  for (SoftwareEntry* d = FirstChildOf(all[1]); d; d = NextInSubtree(all[1], d)) {
    visited.push_back(IndexOf(all, d));
  }
  EXPECT_EQ(visited, (std::vector<int>{2, 3, 4}));
  EXPECT_EQ(catalogue.EntryCount(), all.size());
  EXPECT_EQ(catalogue.LastEntry(), all.back());
  EXPECT_EQ(all.front()->Previous, nullptr);
}

TEST(CatalogueNavigation, AggregatesOverAllDepths) {
  const SoftwareCatalogue catalogue = Chain(kTree);
  const auto all = All(catalogue);
  ASSERT_EQ(all.size(), 8u);
  EXPECT_EQ(AggregateSelection(all[0]), Aggregate::kSome);
  EXPECT_EQ(AggregateSelection(all[3]), Aggregate::kAll);
  EXPECT_EQ(AggregateSelection(all[2]), Aggregate::kNoDescendants);
  EXPECT_EQ(AggregateSelection(all[6]), Aggregate::kAll);
  // Snapshots were set to the opposite of the states.
  EXPECT_EQ(AggregateSnapshot(all[3]), Aggregate::kNone);
  EXPECT_EQ(AggregateSnapshot(all[0]), Aggregate::kSome);
}

TEST(CatalogueNavigation, VisibleDescendants) {
  SoftwareCatalogue catalogue = Chain(kTree);
  auto all = All(catalogue);
  ASSERT_EQ(all.size(), 8u);
  for (int i : {2, 3, 4}) all[static_cast<size_t>(i)]->Flags |= EF_HIDDEN;
  EXPECT_FALSE(HasVisibleDescendant(all[1]));
  EXPECT_TRUE(HasVisibleDescendant(all[0]));
  EXPECT_FALSE(HasVisibleDescendant(all[7]));
}

TEST(CatalogueNavigation, FreeEmptiesTheChainAndMovesLeaveNoDanglingEnds) {
  SoftwareCatalogue catalogue = Chain(kTree);
  SoftwareCatalogue moved = std::move(catalogue);
  EXPECT_EQ(catalogue.FirstEntry(), nullptr);  // NOLINT: checking the moved-from state
  EXPECT_EQ(catalogue.EntryCount(), 0u);
  EXPECT_EQ(moved.EntryCount(), 8u);
  moved.Free();
  EXPECT_EQ(moved.FirstEntry(), nullptr);
  EXPECT_EQ(moved.LastEntry(), nullptr);
  SoftwareEntry* again = moved.AllocEntry();
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->Previous, nullptr);
  EXPECT_EQ(again->State, 0);
}

TEST(CatalogueTokens, WordsSeparatedByCommasBlanksAndTabs) {
  struct Case {
    const char16_t* value;
    const char16_t* word;
    bool found;
  };
  const Case cases[] = {
      {u"1", u"1", true},    {u"1,inherit", u"INHERIT", true},  {u" ,\t1\t", u"1", true},
      {u"10", u"1", false},  {u"inherited", u"inherit", false}, {u"", u"1", false},
      {u"a;1", u"1", false}, {u"bold:if.true", u"bold", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HasToken(c.value, c.word), c.found) << ToUtf8(c.value) << " / " << ToUtf8(c.word);
  }
}

TEST(CatalogueNavigation, NextCheckedPassesOverUncheckedSubtrees) {
  const SoftwareCatalogue c = Chain({{0, kStateUnselected},
                                     {1, kStateSelected},
                                     {0, kStateSelected},
                                     {1, kStateUnselected},
                                     {2, kStateSelected},
                                     {1, kStateSelected}});
  const auto all = All(c);
  std::vector<int> visited;
  for (const SoftwareEntry* e = NextChecked(c.FirstEntry()); e; e = NextChecked(e->Next)) {
    visited.push_back(IndexOf(all, e));
  }
  EXPECT_EQ(visited, (std::vector<int>{2, 5}));
  EXPECT_EQ(NextChecked(static_cast<SoftwareEntry*>(nullptr)), nullptr);
}

}  // namespace
}  // namespace tarn::catalogue
