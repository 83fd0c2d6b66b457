// The software page's list: a one-column report list control that shows the
// selection model's rows as a tree of check boxes and radio buttons. The
// control's own procedure is replaced while attached, so keys and clicks on
// the glyphs go to the model; every row is painted in the custom-draw
// notification, which the page forwards here with the requests for a row's
// text and check state (type-ahead, screen readers, UI Automation).
//
// The list is virtual (LVS_OWNERDATA): it holds only the number of rows and
// its selection, so a catalogue of thousands of rows shows at once and a
// section expands without inserting items one by one. Because that style
// cannot be added to an existing control, Attach replaces a list created
// without it by a twin that has it (same identifier, place, styles, font
// and columns); window() is the list in use.
#pragma once

#include "platform/win32/win32_windows.h"

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "catalogue/software_entry.h"
#include "ui/gdi_handles.h"
#include "wizard/row_drawing.h"
#include "wizard/software_selection.h"

namespace tarn::platform {
class Environment;
}

namespace tarn::ui {

// Sent to the list's parent (WM_NOTIFY) after the user toggled an entry.
inline constexpr UINT EXLVN_SELCHANGED = 2124;

struct NMEXLVSELCHANGED {
  NMHDR hdr;
  const int32_t* state;  // the entry's state, already the new one
  int32_t oldState;
  const catalogue::SoftwareEntry* entry;
};

class ExListView {
 public:
  // `environment` expands the row texts; it outlives the view.
  explicit ExListView(platform::Environment& environment) : environment_(environment) {}
  // Detaches.
  ~ExListView();
  ExListView(const ExListView&) = delete;
  ExListView& operator=(const ExListView&) = delete;

  // Takes over `list` (a report list control with one column): replaces
  // its procedure and sets the styles the tree needs; a list without
  // LVS_OWNERDATA is replaced by its twin first. Once per list.
  void Attach(HWND list);
  // Gives the list its old procedure back; safe to repeat.
  void Detach();
  // The list in use: the twin when Attach made one (the page asks this
  // rather than keeping the handle it passed); nullptr when detached.
  [[nodiscard]] HWND window() const { return list_; }

  // Shows the rows of `model` (nullptr: none), replacing every row; the
  // model outlives its use here or is replaced first.
  void SetModel(wizard::SoftwareSelection* model);
  // Applies what an operation of the model changed to the rows: the row
  // count, the selection (back on the model's current row) and repaints.
  // Keys and clicks apply their own changes; the page applies those of the
  // operations it calls itself, such as the select-all button's.
  void Apply(const wizard::SelectionChange& change);

  // An NM_CUSTOMDRAW notification from the list; the result to return.
  [[nodiscard]] LRESULT DrawRow(NMLVCUSTOMDRAW& draw);
  // A notification the list sends its parent: the row drawing, a row's text
  // and check state for type-ahead and accessibility clients (the list is
  // virtual and holds neither), and type-ahead's search. False for one this
  // view does not answer; `result` is what the parent returns.
  [[nodiscard]] bool Notify(NMHDR& header, LRESULT& result);

  // The row at the list's selection mark; none when there is none. The model
  // learns it (SetCurrentRow) before every key and click the view forwards.
  [[nodiscard]] std::optional<size_t> CurrentRow() const;

 private:
  // The row fonts: the list's font in every style, and the symbol font.
  struct Fonts {
    HFONT base = nullptr;               // the list's font they were made from
    std::array<UniqueFont, 16> styled;  // by bold, italic, underline, striked bits
    UniqueFont expander;                // the symbol font at a 12-pixel em, scaled
    int32_t expanderHeight = 0;
    UniqueFont glyph;  // the symbol font at the box's height
    int32_t glyphHeight = 0;
  };

  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  // The previous procedure's answer.
  LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam);
  // Left, Right and space on the current row; what the list gets otherwise.
  LRESULT OnKey(wizard::ListKey key, UINT message, WPARAM wParam, LPARAM lParam);
  // Left button down, up or double click on a glyph.
  LRESULT OnButton(UINT message, WPARAM wParam, LPARAM lParam);
  // The row under a client point and the zone the point falls in.
  [[nodiscard]] std::optional<std::pair<size_t, wizard::RowZone>> ZoneAt(LPARAM point) const;
  // The row's text as it is shown, variables expanded.
  [[nodiscard]] Text RowText(size_t row) const;
  // Fills in what LVN_GETDISPINFO asks of a row: its text and its check box
  // as a state image (1 unchecked, 2 checked), as the control's own check
  // boxes would give it.
  void DisplayInfo(NMLVDISPINFOW& info) const;
  // The row type-ahead moves to; -1 for none.
  [[nodiscard]] LRESULT FindRow(const NMLVFINDITEMW& find) const;
  // Toggles a row's entry and tells the parent; false when nothing changed.
  bool ToggleRow(size_t row);
  // Tells the model where the list's selection mark is.
  void SyncCurrentRow();
  // Selects and focuses the model's current row alone.
  void PlaceSelection();
  // Repaints those of `rows` that are on screen (ascending).
  void RedrawRows(const std::vector<size_t>& rows);
  // The whole row, at item post-paint.
  void PaintRow(const NMLVCUSTOMDRAW& draw);
  void PaintGlyph(HDC dc, const wizard::RowView& view, const wizard::Box& box);
  // The list's font in the row's style; made on first use.
  HFONT StyledFont(const wizard::RowView& view);
  // Drops the fonts when the list's font is no longer the one they came from.
  void CheckFonts();

  platform::Environment& environment_;
  HWND list_ = nullptr;
  WNDPROC previous_ = nullptr;
  wizard::SoftwareSelection* model_ = nullptr;
  Fonts fonts_;
  wizard::SystemColours colours_;
};

}  // namespace tarn::ui
