// The software page's list: a one-column report list control that shows the
// selection model's rows as a tree of check boxes and radio buttons. The
// control's own procedure is replaced while attached, so keys and clicks on
// the glyphs go to the model; every row is painted in the custom-draw
// notification, which the page forwards here.
#pragma once

#include "platform/win32/win32_windows.h"

#include <commctrl.h>

#include <cstdint>
#include <optional>

#include "catalogue/software_entry.h"
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
  // its procedure and sets the styles the tree needs. Once per list.
  void Attach(HWND list);
  // Gives the list its old procedure back; safe to repeat.
  void Detach();
  [[nodiscard]] HWND window() const { return list_; }

  // Shows the rows of `model` (nullptr: none), replacing every row; the
  // model outlives its use here or is replaced first.
  void SetModel(wizard::SoftwareSelection* model);
  // Applies what an operation of the model changed to the rows.
  void Apply(const wizard::SelectionChange& change);

  // An NM_CUSTOMDRAW notification from the list; the result to return.
  [[nodiscard]] LRESULT DrawRow(NMLVCUSTOMDRAW& draw);

  // The row at the list's selection mark; none when there is none.
  [[nodiscard]] std::optional<size_t> CurrentRow() const;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  platform::Environment& environment_;
  HWND list_ = nullptr;
  WNDPROC previous_ = nullptr;
  wizard::SoftwareSelection* model_ = nullptr;
};

}  // namespace tarn::ui
