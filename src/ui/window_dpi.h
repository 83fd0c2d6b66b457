// The DPI a window is drawn at and the system measures for it. The functions
// that answer per window and per DPI came with Windows 10 (1607); they are
// looked up at run time, and without them the answers are the system-wide
// ones, which is what a window gets on such a system anyway.
#pragma once

#include <cstdint>

#include "platform/win32/win32_windows.h"

namespace tarn::ui {

// The DPI of `window` (GetDpiForWindow), else the screen's (LOGPIXELSY).
[[nodiscard]] uint32_t WindowDpi(HWND window);

// GetSystemMetricsForDpi(index, dpi), else GetSystemMetrics(index) scaled
// from the system's DPI to `dpi`.
[[nodiscard]] int SystemMetricForDpi(int index, uint32_t dpi);

// `pixels` at 96 DPI, at the DPI of `window`.
[[nodiscard]] int ScaledForWindow(HWND window, int pixels);

}  // namespace tarn::ui
