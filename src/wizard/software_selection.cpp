#include "wizard/software_selection.h"

#include <algorithm>

#include "catalogue/catalogue_navigation.h"
#include "catalogue/catalogue_rows.h"

namespace tarn::wizard {

using catalogue::Aggregate;
using catalogue::SoftwareEntry;

namespace {

RowMark MarkOf(int32_t state) {
  if ((state & catalogue::ES_SELECTED) == 0) return RowMark::kUnchecked;
  return (state & catalogue::ES_MIXED) != 0 ? RowMark::kIndeterminate : RowMark::kChecked;
}

}  // namespace

SoftwareSelection::SoftwareSelection(catalogue::SoftwareCatalogue& catalogue) {
  // The open ancestors of the current position, deepest last: an entry's
  // parent is the nearest earlier entry with a smaller level, and an entry's
  // subtree ends where the first later entry no deeper than it stands.
  std::vector<size_t> open;
  nodes_.reserve(catalogue.EntryCount());
  for (SoftwareEntry* e = catalogue.FirstEntry(); e; e = e->Next) {
    const size_t at = nodes_.size();
    while (!open.empty() && nodes_[open.back()].entry->Level >= e->Level) {
      nodes_[open.back()].end = at;
      open.pop_back();
    }
    nodes_.push_back({e, open.empty() ? kNone : open.back(), 0, 0});
    order_[e] = at;
    open.push_back(at);
  }
  for (const size_t at : open) nodes_[at].end = nodes_.size();
  Recount();
  for (const SoftwareEntry* e : catalogue::InitialRows(catalogue)) rows_.push_back(order_.at(e));
}

SoftwareEntry* SoftwareSelection::EntryAt(size_t row) const {
  return row < rows_.size() ? nodes_[rows_[row]].entry : nullptr;
}

std::optional<size_t> SoftwareSelection::RowOf(const SoftwareEntry* e) const {
  const auto found = order_.find(e);
  return found == order_.end() ? std::nullopt : RowAt(found->second);
}

std::optional<size_t> SoftwareSelection::RowAt(size_t at) const {
  // Rows keep chain order, so the chain position finds the row in log time.
  const auto it = std::lower_bound(rows_.begin(), rows_.end(), at);
  if (it == rows_.end() || *it != at) return std::nullopt;
  return static_cast<size_t>(it - rows_.begin());
}

bool SoftwareSelection::InGroup(size_t at) const {
  const size_t parent = nodes_[at].parent;
  return parent != kNone && nodes_[parent].entry->Has(catalogue::EF_GROUP);
}

RowView SoftwareSelection::ViewOf(size_t row) const {
  RowView view;
  const SoftwareEntry* e = EntryAt(row);
  if (!e) return view;
  view.entry = e;
  view.depth = e->Level;
  view.glyph = InGroup(rows_[row]) ? RowGlyph::kRadio : RowGlyph::kCheckBox;
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

void SoftwareSelection::Store(size_t at, int32_t state) {
  SoftwareEntry* e = nodes_[at].entry;
  const bool was = e->IsSelected();
  e->State = state;
  if (e->IsSelected() == was) return;
  for (size_t a = nodes_[at].parent; a != kNone; a = nodes_[a].parent) {
    if (was) {
      --nodes_[a].selectedBelow;
    } else {
      ++nodes_[a].selectedBelow;
    }
  }
}

std::vector<size_t> SoftwareSelection::CountSelectedBelow() const {
  // Children stand after their parents, so one backward pass has every
  // subtree counted before its parent takes it over.
  std::vector<size_t> counts(nodes_.size(), 0);
  for (size_t at = nodes_.size(); at-- > 0;) {
    const Node& n = nodes_[at];
    if (n.parent != kNone) counts[n.parent] += counts[at] + (n.entry->IsSelected() ? 1 : 0);
  }
  return counts;
}

void SoftwareSelection::Recount() {
  const std::vector<size_t> counts = CountSelectedBelow();
  for (size_t at = 0; at < nodes_.size(); ++at) nodes_[at].selectedBelow = counts[at];
}

bool SoftwareSelection::CountsMatchRecount() const {
  const std::vector<size_t> counts = CountSelectedBelow();
  for (size_t at = 0; at < nodes_.size(); ++at) {
    if (nodes_[at].selectedBelow != counts[at]) return false;
  }
  return true;
}

void SoftwareSelection::SetEntryState(size_t at, int32_t value) {
  if (nodes_[at].entry->Has(catalogue::EF_LOCKED)) return;
  if (InGroup(at)) {
    // One member of a radio group at most: locked members give way too.
    const size_t parent = nodes_[at].parent;
    for (size_t m = parent + 1; m < nodes_[parent].end; m = nodes_[m].end) {
      Store(m, 0);
      Touch(m);
    }
  }
  Store(at, value);
  Touch(at);
}

void SoftwareSelection::PropagateDown(size_t at, int32_t value) {
  for (size_t q = at + 1; q < nodes_[at].end; ++q) {
    const SoftwareEntry* e = nodes_[q].entry;
    if (e->Has(catalogue::EF_LOCKED)) continue;
    if (!InGroup(q)) {
      Store(q, value);
    } else if ((value & catalogue::ES_SELECTED) != 0) {
      Store(q, e->InitialState);  // the member the file chose
    } else {
      Store(q, e->State & ~catalogue::ES_SELECTED);
    }
    Touch(q);
  }
}

void SoftwareSelection::UpdateAncestors(size_t at) {
  for (size_t a = nodes_[at].parent; a != kNone; a = nodes_[a].parent) {
    const bool all = nodes_[a].selectedBelow == nodes_[a].end - a - 1;
    SetEntryState(a, all ? catalogue::kStateSelected : catalogue::kStateMixed);
  }
}

SelectionChange SoftwareSelection::Toggle(size_t row) {
  SoftwareEntry* e = EntryAt(row);
  if (!e || e->Has(catalogue::EF_LOCKED)) return {};
  const size_t at = rows_[row];
  const size_t end = nodes_[at].end;
  const int32_t old = e->State;
  const bool hasChildren = end > at + 1;
  bool restored = false;
  if (old == catalogue::kStateSelected) {
    if (hasChildren && catalogue::AggregateSnapshot(e) == Aggregate::kSome) {
      SetEntryState(at, catalogue::kStateMixed);
      for (size_t q = at + 1; q < end; ++q) {
        if (nodes_[q].entry->Has(catalogue::EF_LOCKED)) continue;
        Store(q, nodes_[q].entry->SnapshotState);
        Touch(q);
      }
      restored = true;
    } else {
      SetEntryState(at, catalogue::kStateUnselected);
      if (!hasChildren) e->SnapshotState = 0;
    }
  } else if (old != 0) {
    for (size_t q = at + 1; q < end; ++q) nodes_[q].entry->SnapshotState = nodes_[q].entry->State;
    if (!hasChildren) e->SnapshotState = 0;
    SetEntryState(at, catalogue::kStateUnselected);
  } else {
    SetEntryState(at, catalogue::kStateSelected);
    if (!hasChildren) e->SnapshotState = catalogue::kStateSelected;
  }
  e->RememberedState = e->IsSelected() ? catalogue::kStateSelected : catalogue::kStateUnselected;
  if (!restored) PropagateDown(at, e->State);
  // A restored mixture changes the subtree just as much, so the marks above follow it too.
  UpdateAncestors(at);
  SelectionChange change = TakeTouched();
  change.handled = true;
  return change;
}

SelectionChange SoftwareSelection::Expand(size_t row) {
  SoftwareEntry* e = EntryAt(row);
  if (!e || !e->Has(catalogue::EF_COLLAPSED)) return {};
  e->Flags &= ~catalogue::EF_COLLAPSED;
  const size_t at = rows_[row];
  std::vector<size_t> shown;
  for (size_t d = at + 1; d < nodes_[at].end;) {
    const SoftwareEntry* entry = nodes_[d].entry;
    if (entry->Has(catalogue::EF_HIDDEN)) {
      d = nodes_[d].end;  // nothing below a hidden entry shows
      continue;
    }
    shown.push_back(d);
    d = entry->Has(catalogue::EF_COLLAPSED) ? nodes_[d].end : d + 1;
  }
  // A row already below (a stale caller) must not be doubled.
  const size_t below = row + 1;
  if (below < rows_.size() && nodes_[rows_[below]].entry->Level > e->Level) shown.clear();
  rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(below), shown.begin(), shown.end());
  SelectionChange change;
  change.handled = true;
  change.redraw = {row};
  change.insertedAt = below;
  change.insertedCount = shown.size();
  return change;
}

SelectionChange SoftwareSelection::Collapse(size_t row) {
  SoftwareEntry* e = EntryAt(row);
  if (!e) return {};
  e->Flags |= catalogue::EF_COLLAPSED;
  size_t end = row + 1;
  while (end < rows_.size() && nodes_[rows_[end]].entry->Level > e->Level) ++end;
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
  switch (key) {
    case ListKey::kLeft: {
      const size_t parent = nodes_[rows_[*row]].parent;
      const std::optional<size_t> parentRow = parent != kNone ? RowAt(parent) : std::nullopt;
      if (!parentRow) return {};
      current_ = nodes_[parent].entry;
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

void SoftwareSelection::ApplySelectAll(size_t at) {
  SoftwareEntry* e = nodes_[at].entry;
  switch (selectAll_) {
    case SelectAllState::kChecked:
      e->State = InGroup(at) ? e->InitialState : catalogue::kStateSelected;
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
  for (size_t at = 0; at < nodes_.size(); ++at) {
    const SoftwareEntry* e = nodes_[at].entry;
    if (at == 0 || e->Level <= topLevel) {
      topLevel = e->Level;
      topShown = !e->Has(catalogue::EF_HIDDEN);
    }
    if (topShown && !e->Has(catalogue::EF_LOCKED)) ApplySelectAll(at);
  }
  // Nearly every state changed, so one fresh count is cheaper than keeping it up one by one.
  Recount();
  SelectionChange change;
  change.handled = true;
  change.redrawAll = true;
  return change;
}

SelectionChange SoftwareSelection::TakeTouched() {
  SelectionChange change;
  for (const size_t at : touched_) {
    if (const std::optional<size_t> row = RowAt(at)) change.redraw.push_back(*row);
  }
  touched_.clear();
  std::sort(change.redraw.begin(), change.redraw.end());
  change.redraw.erase(std::unique(change.redraw.begin(), change.redraw.end()), change.redraw.end());
  return change;
}

}  // namespace tarn::wizard
