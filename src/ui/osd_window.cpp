#include "ui/osd_window.h"

#include <string>

#include "platform/win32/win32_text.h"
#include "ui/window_dpi.h"
#include "wizard/frame_layout.h"

namespace tarn::ui {

namespace {

constexpr wchar_t kClassName[] = L"clsTarnOsd";
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr int kTopBand = 20;
constexpr UINT kTextFlags = DT_WORDBREAK | DT_EDITCONTROL;

constexpr wchar_t kBrushProperty[] = L"hBrush";

// The class has no background brush: Windows would delete a class brush
// when the class is unregistered, and the display owns its brush itself.
void PaintBackground(HWND window, HDC dc) {
  const auto brush = static_cast<HBRUSH>(GetPropW(window, kBrushProperty));
  RECT client{};
  GetClientRect(window, &client);
  if (brush != nullptr) FillRect(dc, &client, brush);
}

LRESULT CALLBACK OsdProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    // Clicks fall through to the desktop's windows; the display is not a target.
    if (message == WM_NCHITTEST) return HTTRANSPARENT;
    if (message == WM_MOUSEACTIVATE) return MA_NOACTIVATE;
    if (message == WM_ERASEBKGND) {
      PaintBackground(window, reinterpret_cast<HDC>(wParam));
      return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

// The display's 70-pixel letters of 96 DPI, at `dpi`.
UniqueFont DisplayFont(uint32_t dpi) {
  LOGFONTW font{};
  font.lfHeight = wizard::ScaledToDpi(70, dpi);
  font.lfWeight = FW_BOLD;
  font.lfCharSet = ANSI_CHARSET;
  lstrcpynW(font.lfFaceName, L"arial", LF_FACESIZE);
  return UniqueFont(CreateFontIndirectW(&font));
}

// The region of the glyph outlines of `text` drawn into `dc`'s path; an
// empty region when the path holds no figure. Even-odd filling: a glyph's
// contours do not overlap, so its counters stay open as with winding, and
// Wine builds a winding region from glyph outlines that SetWindowRgn then
// refuses. PathToRegion flattens the curves of the outlines itself.
UniqueRegion OutlineRegion(HDC dc, const std::wstring& text, RECT bounds) {
  SetPolyFillMode(dc, ALTERNATE);
  BeginPath(dc);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &bounds, kTextFlags);
  EndPath(dc);
  UniqueRegion region(PathToRegion(dc));
  if (!region) region.reset(CreateRectRgn(0, 0, 0, 0));
  return region;
}

}  // namespace

OsdWindow::OsdWindow(HINSTANCE instance)
    : instance_(instance), background_(CreateSolidBrush(kGreen)) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = OsdProcedure;
  windowClass.hInstance = instance_;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kClassName;
  registered_ = RegisterClassW(&windowClass) != 0;
  if (!registered_) return;
  // A pop-up without frame: the region alone gives the shape. Shown
  // without activation, so the wizard keeps the keyboard.
  window_.reset(CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kClassName,
                                nullptr, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_,
                                nullptr));
  if (!window_) return;
  SetPropW(window_.get(), kBrushProperty, background_.get());
  ShowWindow(window_.get(), SW_SHOWNOACTIVATE);
}

OsdWindow::~OsdWindow() {
  // The window owns its region: destroying it releases that too. The brush
  // is deleted once, by its own member, after the window that paints with
  // it has gone.
  if (window_) RemovePropW(window_.get(), kBrushProperty);
  window_.reset();
  if (registered_) UnregisterClassW(kClassName, instance_);
}

void OsdWindow::Show(TextView text) {
  if (!window_) return;
  const std::wstring wide = win32::Wide(text);
  // The display lies on the desktop's top left: it is drawn at that
  // screen's DPI, and its region follows the letters at that size.
  const uint32_t dpi = WindowDpi(window_.get());
  const UniqueFont font = DisplayFont(dpi);
  HDC dc = GetDC(window_.get());
  if (!dc) return;
  const HGDIOBJ oldFont = SelectObject(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  RECT bounds{};
  GetClientRect(GetDesktopWindow(), &bounds);
  bounds.top = wizard::ScaledToDpi(kTopBand, dpi);
  DrawTextW(dc, wide.c_str(), static_cast<int>(wide.size()), &bounds, DT_CALCRECT | kTextFlags);
  SetWindowPos(window_.get(), nullptr, 0, 0, bounds.right, bounds.bottom,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  UniqueRegion region = OutlineRegion(dc, wide, bounds);
  SelectObject(dc, oldFont);
  ReleaseDC(window_.get(), dc);
  // Once set, the region belongs to the window, which releases the one it
  // replaces; it is ours to delete only when the call fails.
  if (region && SetWindowRgn(window_.get(), region.get(), TRUE) != 0) (void)region.release();
}

}  // namespace tarn::ui
