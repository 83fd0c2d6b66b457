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

// The window property that holds a modal dialog's state from WM_INITDIALOG
// until WM_DESTROY.
inline constexpr wchar_t kDialogStateProperty[] = L"this";

// The state a StatefulDialogProc dialog was given; nullptr before its
// WM_INITDIALOG (WM_GETMINMAXINFO and WM_SETFONT come earlier) and after its
// WM_DESTROY.
template <typename State>
[[nodiscard]] State* DialogStateOf(HWND dialog) {
  return static_cast<State*>(GetPropW(dialog, kDialogStateProperty));
}

// GuardedDialogProc that keeps the lParam of WM_INITDIALOG (the caller's
// state, which outlives the modal dialog) for DialogStateOf, and drops it
// when the dialog is destroyed.
template <DialogHandler Handle>
INT_PTR CALLBACK StatefulDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetPropW(dialog, kDialogStateProperty, reinterpret_cast<HANDLE>(lParam));
  }
  const INT_PTR result = GuardedDialogProc<Handle>(dialog, message, wParam, lParam);
  if (message == WM_DESTROY) RemovePropW(dialog, kDialogStateProperty);
  return result;
}

// WM_COMMAND of a dialog that only closes: OK and Cancel (Escape, Close) end
// it with IDOK. True when the command was one of them.
inline bool EndOnOkOrCancel(HWND dialog, WPARAM wParam) {
  if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return false;
  EndDialog(dialog, IDOK);
  return true;
}

}  // namespace tarn::ui
