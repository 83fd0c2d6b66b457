// A dialog procedure around a message handler that may throw: nothing may
// unwind into the system's dialog manager, and a dialog that cannot be set
// up is closed rather than shown half made.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn::ui {

using DialogHandler = INT_PTR (*)(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

template <DialogHandler Handle>
INT_PTR CALLBACK GuardedDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return Handle(dialog, message, wParam, lParam);
  } catch (...) {
    if (message == WM_INITDIALOG) EndDialog(dialog, -1);
    return FALSE;
  }
}

}  // namespace tarn::ui
