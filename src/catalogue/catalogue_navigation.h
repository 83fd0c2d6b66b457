// Walking the catalogue's tree, which is implied by the chain order and the
// entries' levels: an entry's parent is the nearest earlier entry with a
// smaller Level, its subtree the following entries with a greater Level.
// None of these needs the list control.
#pragma once

#include "catalogue/software_entry.h"

namespace tarn::catalogue {

// The nearest earlier entry whose Level is smaller than e's; nullptr for
// entries without one (the first entry, every section entry).
[[nodiscard]] SoftwareEntry* ParentOf(const SoftwareEntry* e);

// e's next entry when it lies deeper than e; otherwise nullptr.
[[nodiscard]] SoftwareEntry* FirstChildOf(const SoftwareEntry* e);

// e's next entry when it still lies below `root`; otherwise nullptr. Starting
// from FirstChildOf(root) this visits every descendant of root in chain order.
[[nodiscard]] SoftwareEntry* NextInSubtree(const SoftwareEntry* root, const SoftwareEntry* e);

// The first entry after e whose Level is not greater than e's, or nullptr.
[[nodiscard]] SoftwareEntry* NextAfterSubtree(const SoftwareEntry* e);

// The walk of a run: `e` itself when it is selected, otherwise the first
// selected entry after it, an unselected entry being passed over with its
// whole subtree. nullptr when none is left.
[[nodiscard]] SoftwareEntry* NextChecked(SoftwareEntry* e);
[[nodiscard]] const SoftwareEntry* NextChecked(const SoftwareEntry* e);

// Whether any descendant of e lacks EF_HIDDEN.
[[nodiscard]] bool HasVisibleDescendant(const SoftwareEntry* e);

enum class Aggregate { kNoDescendants, kAll, kNone, kSome };

// Over all descendants of e: whether every one, none or some have
// ES_SELECTED in State.
[[nodiscard]] Aggregate AggregateSelection(const SoftwareEntry* e);

// The same over the descendants' SnapshotState.
[[nodiscard]] Aggregate AggregateSnapshot(const SoftwareEntry* e);

// The load-time aggregation of a selected entry: State becomes 4 when every
// descendant (hidden ones included) is selected, 12 otherwise. Entries that
// are not selected or have no descendants are left alone.
void AggregateAtLoad(SoftwareEntry* e);

}  // namespace tarn::catalogue
