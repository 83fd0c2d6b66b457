#include "ui/window_dpi.h"

#include "platform/win32/win32_system_library.h"
#include "wizard/frame_layout.h"

namespace tarn::ui {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);

// user32 is mapped already; the reference keeps the lookups valid for the
// whole process.
const win32::SystemLibrary& User32() {
  static const win32::SystemLibrary library(L"user32.dll");
  return library;
}

uint32_t ScreenDpi() {
  const HDC screen = GetDC(nullptr);
  if (!screen) return wizard::kStandardDpi;
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi > 0 ? static_cast<uint32_t>(dpi) : wizard::kStandardDpi;
}

}  // namespace

uint32_t WindowDpi(HWND window) {
  static const auto forWindow = User32().Function<GetDpiForWindowFn>("GetDpiForWindow");
  if (forWindow && window) {
    const UINT dpi = forWindow(window);
    if (dpi != 0) return dpi;
  }
  return ScreenDpi();
}

int SystemMetricForDpi(int index, uint32_t dpi) {
  static const auto forDpi = User32().Function<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
  if (forDpi) return forDpi(index, dpi);
  return MulDiv(GetSystemMetrics(index), static_cast<int>(dpi), static_cast<int>(ScreenDpi()));
}

int ScaledForWindow(HWND window, int pixels) {
  return wizard::ScaledToDpi(pixels, WindowDpi(window));
}

}  // namespace tarn::ui
