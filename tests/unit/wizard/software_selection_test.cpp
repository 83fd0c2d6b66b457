#include "wizard/software_selection.h"

#include <gtest/gtest.h>

#include <string>
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

std::vector<std::string> Rows(const SoftwareSelection& s) {
  std::vector<SoftwareEntry*> rows;
  for (size_t i = 0; i < s.RowCount(); ++i) rows.push_back(s.EntryAt(i));
  return Descriptions(rows);
}

// Apps(0) A(1) B(2) Pick(3) X(4) Y(5) L(6) | Tools(7) Kit(8) P(9) Q(10)
constexpr std::string_view kApps = R"ini([Apps]
description=Apps
command.0=a.exe
description.0=A
selected.0=1
command.1=b.exe
description.1=B
command.2=*
description.2=Pick
group.2=1
selected.2=1
command.2.0=x.exe
description.2.0=X
selected.2.0=1
command.2.1=y.exe
description.2.1=Y
command.3=l.exe
description.3=L
locked.3=1
selected.3=1
[Tools]
description=Tools
command.0=*
description.0=Kit
selected.0=1
command.0.0=p.exe
description.0.0=P
selected.0.0=1
command.0.1=q.exe
description.0.1=Q
)ini";

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
    SoftwareCatalogue catalogue = LoadText(kApps);
    SoftwareSelection selection(catalogue);
    ASSERT_EQ(selection.RowCount(), 11u) << ::testing::PrintToString(Rows(selection));
    ASSERT_EQ(States(catalogue), "12 4 0 12 4 0 4 12 12 4 0");
    for (size_t s = 0; s < cases[c].size(); ++s) {
      const ToggleStep& step = cases[c][s];
      const SelectionChange change = selection.Toggle(step.row);
      EXPECT_EQ(States(catalogue), step.states) << "case " << c << " step " << s;
      EXPECT_EQ(change.redraw, step.redraw)
          << "case " << c << " step " << s << ": " << ::testing::PrintToString(change.redraw);
    }
  }
}

TEST(SoftwareSelection, RowsShowGlyphMarkAndStyle) {
  SoftwareCatalogue catalogue = LoadText(kApps);
  const SoftwareSelection selection(catalogue);
  const RowView apps = selection.ViewOf(0);
  EXPECT_TRUE(apps.bold && apps.expander && apps.expanded);
  EXPECT_EQ(apps.mark, RowMark::kIndeterminate);
  const RowView x = selection.ViewOf(4);
  EXPECT_EQ(x.depth, 2u);
  EXPECT_EQ(x.glyph, RowGlyph::kRadio);
  EXPECT_EQ(x.mark, RowMark::kChecked);
  EXPECT_FALSE(x.bold || x.expander);
  EXPECT_EQ(selection.ViewOf(1).glyph, RowGlyph::kCheckBox);
  EXPECT_EQ(selection.ViewOf(99).entry, nullptr);
}

// Tools(0) Kit(1) P(2) Deep(3, hidden) D(4) B(5) | Other(6) O(7)
constexpr std::string_view kTree = R"ini([Tools]
description=Tools
collapsed=1
command.0=*
description.0=Kit
command.0.0=p.exe
description.0.0=P
command.0.1=*
description.0.1=Deep
hidden.0.1=1
command.0.1.0=d.exe
description.0.1.0=D
command.1=b.exe
description.1=B
[Other]
description=Other
command.0=o.exe
description.0=O
)ini";

TEST(SoftwareSelection, ExpandingAndCollapsingKeepTheLoadersRowRule) {
  SoftwareCatalogue catalogue = LoadText(kTree);
  // Even with its own subtree open, nothing below the hidden entry may show.
  Find(catalogue, "Deep")->Flags &= ~catalogue::EF_COLLAPSED;
  SoftwareSelection selection(catalogue);
  using V = std::vector<std::string>;
  EXPECT_EQ(Rows(selection), Descriptions(catalogue::InitialRows(catalogue)));
  EXPECT_EQ(Rows(selection), (V{"Tools", "Other", "O"}));

  SelectionChange change = selection.Expand(0);
  EXPECT_EQ(Rows(selection), (V{"Tools", "Kit", "B", "Other", "O"}));
  EXPECT_EQ(change.insertedAt, 1u);
  EXPECT_EQ(change.insertedCount, 2u);
  change = selection.Expand(0);  // already open: no second copy
  EXPECT_FALSE(change.handled);
  EXPECT_EQ(Rows(selection), (V{"Tools", "Kit", "B", "Other", "O"}));
  change = selection.Expand(1);
  EXPECT_EQ(Rows(selection), (V{"Tools", "Kit", "P", "B", "Other", "O"}));

  // Left on a child collapses its parent, which becomes the current row.
  selection.SetCurrentRow(2);
  change = selection.OnKey(ListKey::kLeft);
  EXPECT_TRUE(change.handled);
  EXPECT_EQ(change.removedAt, 2u);
  EXPECT_EQ(change.removedCount, 1u);
  EXPECT_EQ(selection.CurrentRow(), std::optional<size_t>(1));
  EXPECT_TRUE(selection.OnKey(ListKey::kRight).handled);
  selection.SetCurrentRow(2);
  EXPECT_FALSE(selection.OnKey(ListKey::kRight).handled) << "P has no children to show";

  // Collapsing from above takes the current row along to the collapsed row.
  change = selection.ToggleExpansion(0);
  EXPECT_EQ(Rows(selection), (V{"Tools", "Other", "O"}));
  EXPECT_EQ(change.removedCount, 3u);
  EXPECT_EQ(selection.CurrentRow(), std::optional<size_t>(0));

  // Without a current entry every key passes on and nothing changes.
  selection.SetCurrentRow(std::nullopt);
  const std::string before = States(catalogue);
  for (ListKey key : {ListKey::kLeft, ListKey::kRight, ListKey::kSpace}) {
    EXPECT_FALSE(selection.OnKey(key).handled) << static_cast<int>(key);
  }
  EXPECT_EQ(States(catalogue), before);
  EXPECT_EQ(Rows(selection), (V{"Tools", "Other", "O"}));
}

// Shown(0) A(1) H(2, hidden) | Secret(3, hidden) S(4)
constexpr std::string_view kHidden = R"ini([Shown]
description=Shown
command.0=a.exe
description.0=A
selected.0=1
command.1=h.exe
description.1=H
hidden.1=1
selected.1=1
[Secret]
description=Secret
hidden=1
command.0=s.exe
description.0=S
)ini";

TEST(SoftwareSelection, SelectAllCyclesAndLeavesUnseenEntriesAlone) {
  SoftwareCatalogue catalogue = LoadText(kHidden);
  SoftwareSelection selection(catalogue);
  const auto all = Entries(catalogue);
  ASSERT_EQ(all.size(), 5u);
  const std::string secret = std::to_string(all[3]->State) + " " + std::to_string(all[4]->State);
  const std::string initial = States(catalogue);
  struct Click {
    SelectAllState state;
    std::string states;
  };
  const Click clicks[] = {
      {SelectAllState::kUnchecked, "0 0 0 " + secret},
      {SelectAllState::kChecked, "4 4 4 " + secret},
      {SelectAllState::kIndeterminate, initial},
  };
  EXPECT_EQ(selection.SelectAll(), SelectAllState::kIndeterminate);
  for (const Click& click : clicks) {
    EXPECT_TRUE(selection.CycleSelectAll().redrawAll);
    EXPECT_EQ(selection.SelectAll(), click.state);
    EXPECT_EQ(States(catalogue), click.states) << static_cast<int>(click.state);
  }
  // A choice made by hand after selecting everything is what the middle position restores.
  (void)selection.CycleSelectAll();
  (void)selection.CycleSelectAll();
  ASSERT_EQ(States(catalogue), "4 4 4 " + secret);
  (void)selection.Toggle(1);
  (void)selection.CycleSelectAll();
  EXPECT_EQ(all[1]->State, 0) << States(catalogue);
}

}  // namespace
}  // namespace tarn::wizard
