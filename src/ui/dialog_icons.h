// Small-icon image lists of the program's own icons for the account dialogs.
#pragma once

#include <initializer_list>

#include "platform/win32/win32_windows.h"
// After windows.h, which they need.
#include <commctrl.h>

#include "platform/win32/win32_handles.h"

namespace tarn::ui {

struct ImageListTraits {
  static HIMAGELIST Empty() { return nullptr; }
  static bool Valid(HIMAGELIST h) { return h != nullptr; }
  static void Close(HIMAGELIST h) { ImageList_Destroy(h); }
};
using UniqueImageList = win32::UniqueHandleOf<HIMAGELIST, ImageListTraits>;

// A small-icon list in the screen's colour depth holding the icons `ids` of
// `instance`, in order. An icon the resources lack is replaced by the
// system's application icon, so that every later index still fits.
[[nodiscard]] UniqueImageList MakeSmallIconList(HINSTANCE instance, std::initializer_list<int> ids);

// The window's client width in pixels.
[[nodiscard]] int ClientWidth(HWND window);

}  // namespace tarn::ui
