// Any tree of entries with any flags, then any clicks, keys and select-all
// presses: the rows always follow the loader's row rule, every change names
// only rows that exist, in order, and the model's counts of selected
// descendants always equal a fresh count.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "catalogue/catalogue_rows.h"
#include "wizard/software_selection.h"

namespace {

using tarn::catalogue::SoftwareEntry;

constexpr int32_t kStates[] = {0, 4, 12, 5};

void BuildChain(const uint8_t* data, size_t count, tarn::catalogue::SoftwareCatalogue& c) {
  uint32_t level = 0;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t b = data[i];
    SoftwareEntry* e = c.AllocEntry();
    if (!e) return;
    // Each entry goes one level deeper, stays, or climbs back a few levels.
    if (i > 0 && (b & 3) == 1) ++level;
    if ((b & 3) == 2) level = level > 2 ? level - 2 : 0;
    e->Level = level;
    if (b & 0x04) e->Flags |= tarn::catalogue::EF_HIDDEN;
    if (b & 0x08) e->Flags |= tarn::catalogue::EF_COLLAPSED;
    if (b & 0x10) e->Flags |= tarn::catalogue::EF_GROUP;
    if (b & 0x20) e->Flags |= tarn::catalogue::EF_LOCKED;
    e->State = kStates[(b >> 6) & 3];
    e->InitialState = kStates[(b >> 5) & 3];
    e->SnapshotState = kStates[(b >> 4) & 3];
    e->RememberedState = e->State;
  }
}

bool ChangeFits(const tarn::wizard::SelectionChange& change, size_t rows) {
  for (size_t i = 0; i < change.redraw.size(); ++i) {
    if (change.redraw[i] >= rows) return false;
    if (i > 0 && change.redraw[i - 1] >= change.redraw[i]) return false;
  }
  return change.insertedAt + change.insertedCount <= rows;
}

tarn::wizard::SelectionChange Apply(tarn::wizard::SoftwareSelection& s, uint8_t op) {
  const size_t row = s.RowCount() == 0 ? 0 : (op >> 3) % (s.RowCount() + 1);
  switch (op & 7) {
    case 0:
      return s.Toggle(row);
    case 1:
      return s.Expand(row);
    case 2:
      return s.Collapse(row);
    case 3:
      return s.ToggleExpansion(row);
    case 4:
      s.SetCurrentRow(row);
      return {};
    case 5:
      return s.OnKey(tarn::wizard::ListKey::kLeft);
    case 6:
      return s.OnKey(tarn::wizard::ListKey::kRight);
    default:
      return (op & 8) ? s.OnKey(tarn::wizard::ListKey::kSpace) : s.CycleSelectAll();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const size_t entries = data[0] % 40 < size - 1 ? data[0] % 40 : size - 1;
  tarn::catalogue::SoftwareCatalogue catalogue;
  BuildChain(data + 1, entries, catalogue);
  tarn::wizard::SoftwareSelection selection(catalogue);
  for (size_t i = 1 + entries; i < size; ++i) {
    const tarn::wizard::SelectionChange change = Apply(selection, data[i]);
    if (!ChangeFits(change, selection.RowCount())) __builtin_trap();
    if (!selection.CountsMatchRecount()) __builtin_trap();
    const auto rows = tarn::catalogue::InitialRows(catalogue);
    if (rows.size() != selection.RowCount()) __builtin_trap();
    for (size_t r = 0; r < rows.size(); ++r) {
      if (rows[r] != selection.EntryAt(r) || selection.RowOf(rows[r]) != r) __builtin_trap();
    }
    const std::optional<size_t> current = selection.CurrentRow();
    if (current && *current >= selection.RowCount()) __builtin_trap();
  }
  return 0;
}
