// A balloon that points at one control of a dialog, for input the page
// refuses. A tracking tooltip in balloon style: the edit control's own
// balloon (EM_SHOWBALLOONTIP) is not available everywhere, this is.
#pragma once

#include "platform/win32/win32_windows.h"

#include <commctrl.h>

#include "base/text.h"

namespace tarn::ui {

class BalloonTip {
 public:
  BalloonTip() = default;
  BalloonTip(const BalloonTip&) = delete;
  BalloonTip& operator=(const BalloonTip&) = delete;
  ~BalloonTip() { Destroy(); }

  // Creates the tooltip window for the controls of `dialog`; false when the
  // system refused it (the page then works without balloons).
  [[nodiscard]] bool Create(HWND dialog);
  // Shows `text` under `title` with `icon` (a TTI_ value), its stem at `control`.
  void Show(HWND control, TextView title, TextView text, int icon = TTI_WARNING);
  // Hides the balloon; safe when none is shown.
  void Hide();
  // The control the balloon points at, or nullptr when hidden.
  [[nodiscard]] HWND shownOn() const { return shownOn_; }
  // Destroys the tooltip window; safe to repeat.
  void Destroy();

 private:
  [[nodiscard]] TOOLINFOW Tool(wchar_t* text) const;

  HWND tip_ = nullptr;
  HWND dialog_ = nullptr;
  HWND shownOn_ = nullptr;
};

}  // namespace tarn::ui
