// The software page's tree of checkable rows, without the list control: which
// entries have a row, how each row looks, and what a click, a key or the
// select-all button does to the catalogue's states. Every change reports the
// rows it touched, so the control repaints, inserts and deletes only those.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "catalogue/software_catalogue.h"

namespace tarn::wizard {

// The glyph left of a row's text: a radio button for members of a radio group.
enum class RowGlyph { kCheckBox, kRadio };

// The glyph's mark, from the entry's state.
enum class RowMark { kUnchecked, kChecked, kIndeterminate };

// Everything the control needs to paint one row.
struct RowView {
  const catalogue::SoftwareEntry* entry = nullptr;
  uint32_t depth = 0;  // indentation steps
  RowGlyph glyph = RowGlyph::kCheckBox;
  RowMark mark = RowMark::kUnchecked;
  bool dimmed = false;  // the glyph is drawn dimmed
  bool greyed = false;  // the text is drawn grey
  bool bold = false;    // sections and headings are bold too
  bool italic = false;
  bool underline = false;
  bool striked = false;
  bool expander = false;  // an expander glyph is drawn
  bool expanded = false;  // and it points down
};

// What one operation changed, in row indexes after the change.
struct SelectionChange {
  bool handled = false;        // false: a key passes on to the list unchanged
  bool redrawAll = false;      // every row needs repainting
  std::vector<size_t> redraw;  // ascending, without duplicates
  size_t removedAt = 0;        // rows [removedAt, removedAt + removedCount) went away
  size_t removedCount = 0;
  size_t insertedAt = 0;  // rows [insertedAt, insertedAt + insertedCount) are new
  size_t insertedCount = 0;
};

// The select-all button's three positions, in the order a click cycles them.
enum class SelectAllState { kUnchecked, kChecked, kIndeterminate };

enum class ListKey { kLeft, kRight, kSpace };

class SoftwareSelection {
 public:
  // Takes the rows the catalogue has after loading; the catalogue must
  // outlive the model and keep its chain while the model exists.
  explicit SoftwareSelection(catalogue::SoftwareCatalogue& catalogue);

  // The number of rows.
  [[nodiscard]] size_t RowCount() const { return rows_.size(); }
  // The entry of a row; nullptr for a row that does not exist.
  [[nodiscard]] catalogue::SoftwareEntry* EntryAt(size_t row) const;
  // The row of an entry, none while the entry has no row.
  [[nodiscard]] std::optional<size_t> RowOf(const catalogue::SoftwareEntry* e) const;
  // How a row looks; a default view for a row that does not exist.
  [[nodiscard]] RowView ViewOf(size_t row) const;

  // The row the list's selection mark is on; none selects nothing.
  void SetCurrentRow(std::optional<size_t> row);
  // The current row, none when there is no current entry.
  [[nodiscard]] std::optional<size_t> CurrentRow() const;

  // The user's click on a row's glyph; nothing for a locked entry.
  [[nodiscard]] SelectionChange Toggle(size_t row);
  // Shows the row's children; nothing unless the entry is collapsed.
  [[nodiscard]] SelectionChange Expand(size_t row);
  // Hides every row below the row's entry; a current row among them moves to it.
  [[nodiscard]] SelectionChange Collapse(size_t row);
  // A click on the expander: expands a collapsed row, otherwise collapses it.
  [[nodiscard]] SelectionChange ToggleExpansion(size_t row);
  // A key on the current row; unhandled keys pass on to the list.
  [[nodiscard]] SelectionChange OnKey(ListKey key);

  // The select-all button's position.
  [[nodiscard]] SelectAllState SelectAll() const { return selectAll_; }
  // A click on the select-all button: moves it on and applies the new position.
  [[nodiscard]] SelectionChange CycleSelectAll();

  // For tests: whether the kept counts of selected descendants equal a fresh
  // count over the whole catalogue.
  [[nodiscard]] bool CountsMatchRecount() const;

 private:
  static constexpr size_t kNone = SIZE_MAX;

  // One chain position and the tree around it, fixed while the model exists,
  // plus how many of its descendants are selected, kept up to date on every
  // state change so an ancestor's mark never needs a walk over its subtree.
  struct Node {
    catalogue::SoftwareEntry* entry = nullptr;
    size_t parent = kNone;     // chain position of the parent
    size_t end = 0;            // first chain position after the subtree
    size_t selectedBelow = 0;  // descendants with ES_SELECTED
  };

  // Whether the entry at a chain position is a member of a radio group.
  [[nodiscard]] bool InGroup(size_t at) const;
  // The row of a chain position, none while it has no row.
  [[nodiscard]] std::optional<size_t> RowAt(size_t at) const;
  // The only writer of State while the model exists: keeps the ancestors' counts right.
  void Store(size_t at, int32_t state);
  // The counts of selected descendants, fresh from the states, by chain position.
  [[nodiscard]] std::vector<size_t> CountSelectedBelow() const;
  // Replaces every kept count with a fresh one.
  void Recount();
  // Sets an unlocked entry's state; in a radio group the other members are cleared first.
  void SetEntryState(size_t at, int32_t value);
  // Hands a toggled state to every unlocked descendant; group members return to the file's choice.
  void PropagateDown(size_t at, int32_t value);
  // Marks every ancestor selected, mixed unless its whole subtree is selected.
  void UpdateAncestors(size_t at);
  // Applies the select-all button's current position to one entry.
  void ApplySelectAll(size_t at);
  // Notes a chain position whose row needs repainting.
  void Touch(size_t at) { touched_.push_back(at); }
  // The rows of the noted positions, ascending; clears the notes.
  [[nodiscard]] SelectionChange TakeTouched();

  std::vector<Node> nodes_;                                            // by chain position
  std::vector<size_t> rows_;                                           // chain positions, ascending
  std::unordered_map<const catalogue::SoftwareEntry*, size_t> order_;  // chain position
  const catalogue::SoftwareEntry* current_ = nullptr;
  SelectAllState selectAll_ = SelectAllState::kIndeterminate;
  std::vector<size_t> touched_;
};

}  // namespace tarn::wizard
