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

 private:
  // Sets an unlocked entry's state; in a radio group the other members are cleared first.
  void SetEntryState(catalogue::SoftwareEntry* e, int32_t value);
  // Hands a toggled state to every unlocked descendant; group members return to the file's choice.
  void PropagateDown(catalogue::SoftwareEntry* e, int32_t value);
  // Marks every ancestor selected, mixed unless its whole subtree is selected.
  void UpdateAncestors(catalogue::SoftwareEntry* e);
  // Applies the select-all button's current position to one entry.
  void ApplySelectAll(catalogue::SoftwareEntry* e);
  // Notes an entry whose row needs repainting.
  void Touch(catalogue::SoftwareEntry* e) { touched_.push_back(e); }
  // The rows of the noted entries, ascending; clears the notes.
  [[nodiscard]] SelectionChange TakeTouched();

  std::vector<catalogue::SoftwareEntry*> rows_;
  std::unordered_map<const catalogue::SoftwareEntry*, size_t> order_;  // chain position
  catalogue::SoftwareCatalogue& catalogue_;
  const catalogue::SoftwareEntry* current_ = nullptr;
  SelectAllState selectAll_ = SelectAllState::kIndeterminate;
  std::vector<catalogue::SoftwareEntry*> touched_;
};

}  // namespace tarn::wizard
