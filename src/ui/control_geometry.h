// Small helpers the pages share for placing controls and noticing clicks.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn::ui {

// The control's window rectangle in its parent's client coordinates.
[[nodiscard]] inline RECT RectInParent(HWND control) {
  RECT bounds{};
  GetWindowRect(control, &bounds);
  MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&bounds), 2);
  return bounds;
}

// The width of one side of the control's border, as it is drawn now: what
// its window is wider than its client area, less a vertical scroll bar of
// `scrollBarWidth` shown inside it, halved.
[[nodiscard]] inline int BorderWidth(HWND control, int scrollBarWidth) {
  RECT outer{};
  RECT client{};
  GetWindowRect(control, &outer);
  GetClientRect(control, &client);
  const int border = (outer.right - outer.left) - client.right - scrollBarWidth;
  return border > 0 ? border / 2 : 0;
}

// True when a WM_PARENTNOTIFY's wParam reports a mouse button pressed on a child.
[[nodiscard]] inline bool IsButtonPress(WPARAM wParam) {
  const UINT event = LOWORD(wParam);
  return event == WM_LBUTTONDOWN || event == WM_RBUTTONDOWN || event == WM_MBUTTONDOWN ||
         event == WM_XBUTTONDOWN;
}

}  // namespace tarn::ui
