// One page of the wizard: a dialog whose messages go to small virtual
// handlers. The page object outlives its window; the one dialog procedure
// finds it through the page's creation record and catches everything, so no
// exception ever reaches the system.
#pragma once

#include "platform/win32/win32_windows.h"

#include <commctrl.h>
#include <prsht.h>

#include "base/text.h"

namespace tarn::ui {

class PropertyPage {
 public:
  explicit PropertyPage(int dialogId) : dialogId_(dialogId) {}
  virtual ~PropertyPage() = default;
  PropertyPage(const PropertyPage&) = delete;
  PropertyPage& operator=(const PropertyPage&) = delete;

  [[nodiscard]] int dialogId() const { return dialogId_; }
  // The page's dialog window, or nullptr before creation and after destruction.
  [[nodiscard]] HWND window() const { return window_; }
  // The wizard (property sheet) window holding the page.
  [[nodiscard]] HWND sheet() const { return window_ ? GetParent(window_) : nullptr; }

  // The creation record for PropertySheetW. The texts must stay alive (and
  // unmoved) until the sheet has closed.
  [[nodiscard]] PROPSHEETPAGEW Describe(HINSTANCE instance, const wchar_t* title,
                                        const wchar_t* headerTitle, const wchar_t* headerSubTitle);

  // The frame stopped the countdown for good: what stayed off while the
  // wizard could go on by itself may be offered now. Called only while the
  // page's window exists.
  virtual void OnCountdownStopped() {}

 protected:
  // WM_INITDIALOG; return false when the page set the focus itself.
  virtual bool OnInitDialog() { return true; }
  // PSN_SETACTIVE; return 0 to accept, -1 to refuse, or a dialog id to jump to.
  virtual LONG_PTR OnSetActive() { return 0; }
  // PSN_KILLACTIVE; return true to keep the page (invalid input).
  virtual bool OnKillActive() { return false; }
  // PSN_WIZNEXT / PSN_WIZBACK; 0 to go on, -1 to stay, or a dialog id.
  virtual LONG_PTR OnWizNext() { return 0; }
  virtual LONG_PTR OnWizBack() { return 0; }
  // PSN_WIZFINISH; return true to keep the wizard open.
  virtual bool OnWizFinish() { return false; }
  // PSN_QUERYCANCEL; return true to refuse the cancel.
  virtual bool OnQueryCancel() { return false; }
  // Any other WM_NOTIFY; set `handled` and return the result to give.
  virtual LRESULT OnNotify(NMHDR& header, bool& handled);
  // WM_COMMAND; return true when handled.
  virtual bool OnCommand(int id, int code, HWND control);
  virtual void OnTimer(UINT_PTR id);
  virtual void OnSize(int width, int height);
  virtual void OnDestroy() {}
  // Every other message; set `handled` and return the dialog result.
  virtual INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled);

  // Helpers for the handlers.
  [[nodiscard]] HWND Control(int id) const { return GetDlgItem(window_, id); }
  void SetResult(LONG_PTR result) const { SetWindowLongPtrW(window_, DWLP_MSGRESULT, result); }
  [[nodiscard]] bool IsCurrent() const;

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR DispatchNotify(NMHDR& header);

  int dialogId_;
  HWND window_ = nullptr;
};

}  // namespace tarn::ui
