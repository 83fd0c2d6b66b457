// Owners of GDI objects and windows for the user-interface code: each is
// released exactly once, when it leaves scope.
#pragma once

#include "platform/win32/win32_windows.h"
// The handle template needs windows.h first.
#include "platform/win32/win32_handles.h"

namespace tarn::ui {

template <class H>
struct GdiObjectTraits {
  static H Empty() { return nullptr; }
  static bool Valid(H h) { return h != nullptr; }
  static void Close(H h) { DeleteObject(h); }
};

struct WindowTraits {
  static HWND Empty() { return nullptr; }
  static bool Valid(HWND h) { return h != nullptr && IsWindow(h); }
  static void Close(HWND h) { DestroyWindow(h); }
};

using UniqueFont = win32::UniqueHandleOf<HFONT, GdiObjectTraits<HFONT>>;
using UniqueBrush = win32::UniqueHandleOf<HBRUSH, GdiObjectTraits<HBRUSH>>;
using UniqueBitmap = win32::UniqueHandleOf<HBITMAP, GdiObjectTraits<HBITMAP>>;
using UniqueRegion = win32::UniqueHandleOf<HRGN, GdiObjectTraits<HRGN>>;
using UniquePen = win32::UniqueHandleOf<HPEN, GdiObjectTraits<HPEN>>;
using UniqueWindow = win32::UniqueHandleOf<HWND, WindowTraits>;

}  // namespace tarn::ui
