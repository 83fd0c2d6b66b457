#include "wizard/software_selection.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "catalogue/catalogue_rows.h"
#include "unit/catalogue/catalogue_test_util.h"

namespace tarn::wizard {
namespace {

using catalogue::SoftwareCatalogue;
using catalogue::SoftwareEntry;
using catalogue::testing::Descriptions;
using catalogue::testing::Entries;
using catalogue::testing::Find;
using catalogue::testing::LoadText;

// Every entry's State in chain order, e.g. "12 4 0".
std::string States(const SoftwareCatalogue& c) {
  std::string out;
  for (const SoftwareEntry* e = c.FirstEntry(); e; e = e->Next) {
    out += (out.empty() ? "" : " ") + std::to_string(e->State);
  }
  return out;
}

// Descriptions joined by spaces, e.g. "Tools Kit B".
std::string Join(const std::vector<SoftwareEntry*>& entries) {
  std::string out;
  for (const std::string& d : Descriptions(entries)) out += (out.empty() ? "" : " ") + d;
  return out;
}

std::string Rows(const SoftwareSelection& s) {
  std::vector<SoftwareEntry*> rows;
  for (size_t i = 0; i < s.RowCount(); ++i) rows.push_back(s.EntryAt(i));
  return Join(rows);
}

struct Shape {
  uint32_t level;
  uint32_t flags;
  int32_t state;  // also what the file chose and what was remembered
};

SoftwareCatalogue Chain(std::initializer_list<Shape> shapes) {
  SoftwareCatalogue catalogue;
  for (const Shape& shape : shapes) {
    SoftwareEntry* e = catalogue.AllocEntry();
    e->Level = shape.level;
    e->Flags = shape.flags;
    e->State = e->InitialState = e->SnapshotState = e->RememberedState = shape.state;
  }
  return catalogue;
}

using catalogue::EF_GROUP;
using catalogue::EF_HIDDEN;
using catalogue::EF_LOCKED;
using catalogue::EF_NO_COMMAND;

// Apps(0) A(1) B(2) Pick(3, group) X(4) Y(5) L(6, locked) | Tools(7) Kit(8) P(9) Q(10)
SoftwareCatalogue Apps() {
  return Chain({{0, EF_NO_COMMAND, 12},
                {1, 0, 4},
                {1, 0, 0},
                {1, EF_GROUP, 12},
                {2, 0, 4},
                {2, 0, 0},
                {1, EF_LOCKED, 4},
                {0, EF_NO_COMMAND, 12},
                {1, 0, 12},
                {2, 0, 4},
                {2, 0, 0}});
}

struct ToggleStep {
  size_t row;
  const char* states;  // afterwards
  std::vector<size_t> redraw;
};

TEST(SoftwareSelection, TogglesCycleThroughTheRememberedMixture) {
  const std::vector<std::vector<ToggleStep>> cases = {
      // A section: mixture -> nothing -> everything (the group's own choice) -> the mixture.
      {{0, "0 0 0 0 0 0 4 12 12 4 0", {0, 1, 2, 3, 4, 5}},
       {0, "4 4 4 4 4 0 4 12 12 4 0", {0, 1, 2, 3, 4, 5}},
       {0, "12 4 0 12 4 0 4 12 12 4 0", {0, 1, 2, 3, 4, 5}}},
      // Radio group: the other member switches the pair; the parents follow.
      {{5, "12 4 0 12 0 4 4 12 12 4 0", {0, 3, 4, 5}},
       {5, "12 4 0 12 0 0 4 12 12 4 0", {0, 3, 4, 5}}},
      // A locked entry does not change.
      {{6, "12 4 0 12 4 0 4 12 12 4 0", {}}},
      // A restored mixture still turns the section's mark back to mixed.
      {{8, "12 4 0 12 4 0 4 12 0 0 0", {7, 8, 9, 10}},
       {8, "12 4 0 12 4 0 4 4 4 4 4", {7, 8, 9, 10}},
       {8, "12 4 0 12 4 0 4 12 12 4 0", {7, 8, 9, 10}}},
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    SoftwareCatalogue catalogue = Apps();
    SoftwareSelection selection(catalogue);
    ASSERT_EQ(selection.RowCount(), 11u) << Rows(selection);
    ASSERT_EQ(States(catalogue), "12 4 0 12 4 0 4 12 12 4 0");
    const RowView apps = selection.ViewOf(0), x = selection.ViewOf(4);
    EXPECT_TRUE(apps.bold && apps.expander && apps.mark == RowMark::kIndeterminate);
    EXPECT_TRUE(x.depth == 2 && x.glyph == RowGlyph::kRadio && x.mark == RowMark::kChecked &&
                !x.bold);
    for (size_t s = 0; s < cases[c].size(); ++s) {
      const ToggleStep& step = cases[c][s];
      const SelectionChange change = selection.Toggle(step.row);
      EXPECT_EQ(States(catalogue), step.states) << "case " << c << " step " << s;
      EXPECT_EQ(change.redraw, step.redraw)
          << "case " << c << " step " << s << ": " << ::testing::PrintToString(change.redraw);
      EXPECT_TRUE(selection.CountsMatchRecount()) << "case " << c << " step " << s;
    }
  }
}

// Tools(0) Kit(1) P(2) Deep(3, hidden) D(4) B(5) | Other(6) O(7)
constexpr std::string_view kTree =
    "[Tools]\ndescription=Tools\ncollapsed=1\ncommand.0=*\ndescription.0=Kit\n"
    "command.0.0=p.exe\ndescription.0.0=P\ncommand.0.1=*\ndescription.0.1=Deep\nhidden.0.1=1\n"
    "command.0.1.0=d.exe\ndescription.0.1.0=D\ncommand.1=b.exe\ndescription.1=B\n"
    "[Other]\ndescription=Other\ncommand.0=o.exe\ndescription.0=O\n";

struct TreeStep {
  char op;  // e: expand, t: expander click, < and >: Left and Right on the row, -: keys without a
            // row
  size_t row;
  bool handled;
  const char* rows;  // afterwards
  std::optional<size_t> current;
};

TEST(SoftwareSelection, ExpandingAndCollapsingKeepTheLoadersRowRule) {
  SoftwareCatalogue catalogue = LoadText(kTree);
  // Even with its own subtree open, nothing below the hidden entry may show.
  Find(catalogue, "Deep")->Flags &= ~catalogue::EF_COLLAPSED;
  SoftwareSelection selection(catalogue);
  const TreeStep steps[] = {
      {'e', 0, true, "Tools Kit B Other O", std::nullopt},
      {'e', 0, false, "Tools Kit B Other O", std::nullopt},  // no second copy
      {'e', 1, true, "Tools Kit P B Other O", std::nullopt},
      {'<', 2, true, "Tools Kit B Other O", 1},  // the parent collapses and becomes current
      {'>', 1, true, "Tools Kit P B Other O", 1},
      {'>', 2, false, "Tools Kit P B Other O", 2},  // nothing to show: the list moves down
      {'t', 0, true, "Tools Other O", 0},  // the current row goes up with its collapsed parent
      {'-', 0, false, "Tools Other O", std::nullopt},
  };
  const std::string states = States(catalogue);
  for (const TreeStep& step : steps) {
    const size_t before = selection.RowCount();
    SelectionChange change;
    if (step.op == 'e') change = selection.Expand(step.row);
    if (step.op == 't') change = selection.ToggleExpansion(step.row);
    if (step.op == '<' || step.op == '>') selection.SetCurrentRow(step.row);
    if (step.op == '-') selection.SetCurrentRow(std::nullopt);
    if (step.op == '<') change = selection.OnKey(ListKey::kLeft);
    if (step.op == '>') change = selection.OnKey(ListKey::kRight);
    if (step.op == '-') {
      for (ListKey key : {ListKey::kLeft, ListKey::kRight, ListKey::kSpace}) {
        change = selection.OnKey(key);
        EXPECT_FALSE(change.handled) << static_cast<int>(key);
      }
    }
    EXPECT_EQ(change.handled, step.handled) << step.op << step.row;
    EXPECT_EQ(Rows(selection), step.rows) << step.op << step.row;
    EXPECT_EQ(Rows(selection), Join(catalogue::InitialRows(catalogue))) << step.op << step.row;
    EXPECT_EQ(before + change.insertedCount - change.removedCount, selection.RowCount()) << step.op;
    EXPECT_EQ(selection.CurrentRow(), step.current) << step.op << step.row;
  }
  EXPECT_EQ(States(catalogue), states);
}

TEST(SoftwareSelection, SelectAllCyclesAndLeavesUnseenEntriesAlone) {
  // Shown(0) A(1) H(2, hidden) | Secret(3, hidden) S(4)
  SoftwareCatalogue catalogue =
      Chain({{0, 0, 12}, {1, 0, 4}, {1, EF_HIDDEN, 0}, {0, EF_HIDDEN, 12}, {1, 0, 0}});
  SoftwareSelection selection(catalogue);
  const auto all = Entries(catalogue);
  ASSERT_EQ(all.size(), 5u);
  const std::string initial = States(catalogue);
  // Each click moves the button on; the hidden section keeps "12 0".
  const std::pair<SelectAllState, std::string> clicks[] = {
      {SelectAllState::kUnchecked, "0 0 0 12 0"},
      {SelectAllState::kChecked, "4 4 4 12 0"},
      {SelectAllState::kIndeterminate, initial},
  };
  EXPECT_EQ(selection.SelectAll(), SelectAllState::kIndeterminate);
  for (const auto& [state, states] : clicks) {
    EXPECT_TRUE(selection.CycleSelectAll().redrawAll);
    EXPECT_EQ(selection.SelectAll(), state);
    EXPECT_EQ(States(catalogue), states) << static_cast<int>(state);
    EXPECT_TRUE(selection.CountsMatchRecount()) << static_cast<int>(state);
  }
  // A choice made by hand after selecting everything is what the middle position restores.
  (void)selection.CycleSelectAll();
  (void)selection.CycleSelectAll();
  ASSERT_EQ(States(catalogue), "4 4 4 12 0");
  (void)selection.Toggle(1);
  (void)selection.CycleSelectAll();
  EXPECT_EQ(all[1]->State, 0) << States(catalogue);
}

}  // namespace
}  // namespace tarn::wizard
