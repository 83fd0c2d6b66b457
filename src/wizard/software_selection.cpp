#include "wizard/software_selection.h"

#include <algorithm>

#include "catalogue/catalogue_navigation.h"
#include "catalogue/catalogue_rows.h"

namespace tarn::wizard {

using catalogue::Aggregate;
using catalogue::SoftwareEntry;

namespace {

bool InGroup(const SoftwareEntry* e) {
  const SoftwareEntry* parent = catalogue::ParentOf(e);
  return parent && parent->Has(catalogue::EF_GROUP);
}

// The next descendant of root after e's whole subtree, or nullptr.
SoftwareEntry* SkipSubtree(const SoftwareEntry* root, const SoftwareEntry* e) {
  SoftwareEntry* next = catalogue::NextAfterSubtree(e);
  return next && next->Level > root->Level ? next : nullptr;
}

RowMark MarkOf(int32_t state) {
  if ((state & catalogue::ES_SELECTED) == 0) return RowMark::kUnchecked;
  return (state & catalogue::ES_MIXED) != 0 ? RowMark::kIndeterminate : RowMark::kChecked;
}

}  // namespace

SoftwareSelection::SoftwareSelection(catalogue::SoftwareCatalogue& catalogue)
    : rows_(catalogue::InitialRows(catalogue)), catalogue_(catalogue) {
  size_t position = 0;
  for (const SoftwareEntry* e = catalogue.FirstEntry(); e; e = e->Next) order_[e] = position++;
}

SoftwareEntry* SoftwareSelection::EntryAt(size_t row) const {
  return row < rows_.size() ? rows_[row] : nullptr;
}

std::optional<size_t> SoftwareSelection::RowOf(const SoftwareEntry* e) const {
  const auto found = order_.find(e);
  if (found == order_.end()) return std::nullopt;
  // Rows keep chain order, so the chain position finds the row in log time.
  const size_t position = found->second;
  const auto it =
      std::lower_bound(rows_.begin(), rows_.end(), position,
                       [this](const SoftwareEntry* r, size_t p) { return order_.at(r) < p; });
  if (it == rows_.end() || *it != e) return std::nullopt;
  return static_cast<size_t>(it - rows_.begin());
}

RowView SoftwareSelection::ViewOf(size_t row) const {
  RowView view;
  const SoftwareEntry* e = EntryAt(row);
  if (!e) return view;
  view.entry = e;
  view.depth = e->Level;
  view.glyph = InGroup(e) ? RowGlyph::kRadio : RowGlyph::kCheckBox;
  view.mark = MarkOf(e->State);
  view.dimmed = (e->State & catalogue::ES_DIMMED) != 0;
  view.greyed = e->Has(catalogue::EF_DISABLED);
  view.bold = e->Has(catalogue::EF_BOLD) || e->Has(catalogue::EF_NO_COMMAND);
  view.italic = e->Has(catalogue::EF_ITALIC);
  view.underline = e->Has(catalogue::EF_UNDERLINE);
  view.striked = e->Has(catalogue::EF_STRIKED);
  view.expander = catalogue::FirstChildOf(e) && catalogue::HasVisibleDescendant(e);
  view.expanded = !e->Has(catalogue::EF_COLLAPSED);
  return view;
}

void SoftwareSelection::SetCurrentRow(std::optional<size_t> row) {
  current_ = row ? EntryAt(*row) : nullptr;
}

std::optional<size_t> SoftwareSelection::CurrentRow() const {
  return current_ ? RowOf(current_) : std::nullopt;
}

void SoftwareSelection::SetEntryState(SoftwareEntry* e, int32_t value) {
  if (e->Has(catalogue::EF_LOCKED)) return;
  if (InGroup(e)) {
    // One member of a radio group at most: locked members give way too.
    const SoftwareEntry* parent = catalogue::ParentOf(e);
    for (SoftwareEntry* m = catalogue::FirstChildOf(parent); m; m = SkipSubtree(parent, m)) {
      m->State = 0;
      Touch(m);
    }
  }
  e->State = value;
  Touch(e);
}

void SoftwareSelection::PropagateDown(SoftwareEntry* e, int32_t value) {
  for (SoftwareEntry* q = catalogue::FirstChildOf(e); q; q = catalogue::NextInSubtree(e, q)) {
    if (q->Has(catalogue::EF_LOCKED)) continue;
    if (!InGroup(q)) {
      q->State = value;
    } else if ((value & catalogue::ES_SELECTED) != 0) {
      q->State = q->InitialState;  // the member the file chose
    } else {
      q->State &= ~catalogue::ES_SELECTED;
    }
    Touch(q);
  }
}

void SoftwareSelection::UpdateAncestors(SoftwareEntry* e) {
  for (SoftwareEntry* a = catalogue::ParentOf(e); a; a = catalogue::ParentOf(a)) {
    const bool all = catalogue::AggregateSelection(a) == Aggregate::kAll;
    SetEntryState(a, all ? catalogue::kStateSelected : catalogue::kStateMixed);
  }
}

SelectionChange SoftwareSelection::Toggle(size_t row) {
  SoftwareEntry* e = EntryAt(row);
  if (!e || e->Has(catalogue::EF_LOCKED)) return {};
  const int32_t old = e->State;
  const bool hasChildren = catalogue::FirstChildOf(e) != nullptr;
  bool restored = false;
  if (old == catalogue::kStateSelected) {
    if (hasChildren && catalogue::AggregateSnapshot(e) == Aggregate::kSome) {
      SetEntryState(e, catalogue::kStateMixed);
      for (SoftwareEntry* q = catalogue::FirstChildOf(e); q; q = catalogue::NextInSubtree(e, q)) {
        if (q->Has(catalogue::EF_LOCKED)) continue;
        q->State = q->SnapshotState;
        Touch(q);
      }
      restored = true;
    } else {
      SetEntryState(e, catalogue::kStateUnselected);
      if (!hasChildren) e->SnapshotState = 0;
    }
  } else if (old != 0) {
    for (SoftwareEntry* q = catalogue::FirstChildOf(e); q; q = catalogue::NextInSubtree(e, q)) {
      q->SnapshotState = q->State;
    }
    if (!hasChildren) e->SnapshotState = 0;
    SetEntryState(e, catalogue::kStateUnselected);
  } else {
    SetEntryState(e, catalogue::kStateSelected);
    if (!hasChildren) e->SnapshotState = catalogue::kStateSelected;
  }
  e->RememberedState = e->IsSelected() ? catalogue::kStateSelected : catalogue::kStateUnselected;
  if (!restored) PropagateDown(e, e->State);
  // A restored mixture changes the subtree just as much, so the marks above follow it too.
  UpdateAncestors(e);
  SelectionChange change = TakeTouched();
  change.handled = true;
  return change;
}

SelectionChange SoftwareSelection::Expand(size_t row) {
  SoftwareEntry* e = EntryAt(row);
  if (!e || !e->Has(catalogue::EF_COLLAPSED)) return {};
  e->Flags &= ~catalogue::EF_COLLAPSED;
  std::vector<SoftwareEntry*> shown;
  for (SoftwareEntry* d = catalogue::FirstChildOf(e); d;) {
    if (d->Has(catalogue::EF_HIDDEN)) {
      d = SkipSubtree(e, d);  // nothing below a hidden entry shows
      continue;
    }
    shown.push_back(d);
    d = d->Has(catalogue::EF_COLLAPSED) ? SkipSubtree(e, d) : catalogue::NextInSubtree(e, d);
  }
  // A row already below (a stale caller) must not be doubled.
  const size_t at = row + 1;
  if (at < rows_.size() && rows_[at]->Level > e->Level) shown.clear();
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(at), shown.begin(), shown.end());
  SelectionChange change;
  change.handled = true;
  change.redraw = {row};
  change.insertedAt = at;
  change.insertedCount = shown.size();
  return change;
}

SelectionChange SoftwareSelection::Collapse(size_t row) {
  SoftwareEntry* e = EntryAt(row);
  if (!e) return {};
  e->Flags |= catalogue::EF_COLLAPSED;
  size_t end = row + 1;
  while (end < rows_.size() && rows_[end]->Level > e->Level) ++end;
  const std::optional<size_t> current = CurrentRow();
  if (current && *current > row && *current < end) current_ = e;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row + 1),
              rows_.begin() + static_cast<std::ptrdiff_t>(end));
  SelectionChange change;
  change.handled = true;
  change.redraw = {row};
  change.removedAt = row + 1;
  change.removedCount = end - row - 1;
  return change;
}

SelectionChange SoftwareSelection::ToggleExpansion(size_t row) {
  const SoftwareEntry* e = EntryAt(row);
  if (!e) return {};
  return e->Has(catalogue::EF_COLLAPSED) ? Expand(row) : Collapse(row);
}

SelectionChange SoftwareSelection::OnKey(ListKey key) {
  const std::optional<size_t> row = CurrentRow();
  if (!row) return {};  // no current entry: the list moves as usual
  SoftwareEntry* e = rows_[*row];
  switch (key) {
    case ListKey::kLeft: {
      SoftwareEntry* parent = catalogue::ParentOf(e);
      const std::optional<size_t> parentRow = parent ? RowOf(parent) : std::nullopt;
      if (!parentRow) return {};
      current_ = parent;
      return Collapse(*parentRow);
    }
    case ListKey::kRight: {
      SelectionChange change = Expand(*row);
      if (change.insertedCount == 0) change.handled = false;
      return change;
    }
    case ListKey::kSpace:
      return Toggle(*row);
  }
  return {};
}

void SoftwareSelection::ApplySelectAll(SoftwareEntry* e) {
  switch (selectAll_) {
    case SelectAllState::kChecked:
      e->State = InGroup(e) ? e->InitialState : catalogue::kStateSelected;
      break;
    case SelectAllState::kIndeterminate:
      e->State = e->RememberedState;
      break;
    case SelectAllState::kUnchecked:
      e->RememberedState = e->State;
      e->State = catalogue::kStateUnselected;
      break;
  }
}

SelectionChange SoftwareSelection::CycleSelectAll() {
  switch (selectAll_) {
    case SelectAllState::kUnchecked:
      selectAll_ = SelectAllState::kChecked;
      break;
    case SelectAllState::kChecked:
      selectAll_ = SelectAllState::kIndeterminate;
      break;
    case SelectAllState::kIndeterminate:
      selectAll_ = SelectAllState::kUnchecked;
      break;
  }
  // An entry follows when its top entry has a row: then a row above it hands
  // its state down, as a toggle would. Under a hidden top entry nobody can
  // see the change, so those states stay as the file set them.
  bool topShown = false;
  uint32_t topLevel = 0;
  for (SoftwareEntry* e = catalogue_.FirstEntry(); e; e = e->Next) {
    if (e == catalogue_.FirstEntry() || e->Level <= topLevel) {
      topLevel = e->Level;
      topShown = !e->Has(catalogue::EF_HIDDEN);
    }
    if (topShown && !e->Has(catalogue::EF_LOCKED)) ApplySelectAll(e);
  }
  SelectionChange change;
  change.handled = true;
  change.redrawAll = true;
  return change;
}

SelectionChange SoftwareSelection::TakeTouched() {
  SelectionChange change;
  for (const SoftwareEntry* e : touched_) {
    if (const std::optional<size_t> row = RowOf(e)) change.redraw.push_back(*row);
  }
  touched_.clear();
  std::sort(change.redraw.begin(), change.redraw.end());
  change.redraw.erase(std::unique(change.redraw.begin(), change.redraw.end()), change.redraw.end());
  return change;
}

}  // namespace tarn::wizard
