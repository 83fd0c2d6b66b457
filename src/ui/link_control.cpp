#include "ui/link_control.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>

#include "platform/win32/win32_text.h"
#include "wizard/link_markup.h"

namespace tarn::ui {
namespace {

static_assert(wizard::kLinkTargetCapacity == L_MAX_URL_LENGTH);

// The control's state lives in window properties, one value each.
constexpr wchar_t kHasFocus[] = L"HasFocus";
constexpr wchar_t kFont[] = L"hFont";
constexpr wchar_t kWidth[] = L"cx";
constexpr wchar_t kHeight[] = L"cy";
constexpr wchar_t kOnItem[] = L"IsOnItem";

intptr_t Property(HWND window, const wchar_t* name) {
  return reinterpret_cast<intptr_t>(GetPropW(window, name));
}

void SetProperty(HWND window, const wchar_t* name, intptr_t value) {
  SetPropW(window, name, reinterpret_cast<HANDLE>(value));
}

HFONT LinkFont(HWND window) {
  return reinterpret_cast<HFONT>(GetPropW(window, kFont));
}

Text WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  const int length = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
  return win32::FromWide(text.data(), static_cast<size_t>(std::max(length, 0)));
}

// The device context of a window's client area, released when it leaves scope.
class ClientDc {
 public:
  explicit ClientDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~ClientDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  ClientDc(const ClientDc&) = delete;
  ClientDc& operator=(const ClientDc&) = delete;
  [[nodiscard]] HDC get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

// Stores the extent of `windowText`'s shown text in the link font as "cx", "cy".
void Measure(HWND window, TextView windowText) {
  const std::wstring shown = win32::Wide(wizard::ParseLinkMarkup(windowText).shown);
  ClientDc dc(window);
  if (dc.get() == nullptr) return;
  const HFONT font = LinkFont(window);
  const HGDIOBJ previous = font != nullptr ? SelectObject(dc.get(), font) : nullptr;
  SIZE extent{};
  GetTextExtentPoint32W(dc.get(), shown.c_str(), static_cast<int>(shown.size()), &extent);
  if (previous != nullptr) SelectObject(dc.get(), previous);
  SetProperty(window, kWidth, extent.cx);
  SetProperty(window, kHeight, extent.cy);
}

void ReplaceFont(HWND window, HFONT font) {
  if (const HFONT old = LinkFont(window)) DeleteObject(old);
  SetPropW(window, kFont, font);
}

// An underlined copy of `font` (the system font for none) becomes the link font.
void TakeFont(HWND window, HFONT font) {
  LOGFONTW description{};
  const HGDIOBJ source = font != nullptr ? font : GetStockObject(SYSTEM_FONT);
  if (GetObjectW(source, sizeof(description), &description) == 0) return;
  description.lfUnderline = TRUE;
  ReplaceFont(window, CreateFontIndirectW(&description));
  Measure(window, WindowText(window));
}

bool OnText(HWND window, LPARAM position) {
  const POINT point{static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  const RECT text{0, 0, static_cast<LONG>(Property(window, kWidth)),
                  static_cast<LONG>(Property(window, kHeight))};
  return PtInRect(&text, point) != FALSE;
}

// Tells the parent that the link was followed, with its target.
void Notify(HWND window, UINT code) {
  NMLINK link{};
  link.hdr.hwndFrom = window;
  link.hdr.idFrom = 0;
  link.hdr.code = code;
  link.item.mask = LIF_ITEMINDEX | LIF_URL;
  link.item.iLink = 0;
  const Text target = wizard::ParseLinkMarkup(WindowText(window)).target;
  const size_t length = std::min(target.size(), std::size(link.item.szUrl) - 1);
  std::copy_n(target.begin(), length, link.item.szUrl);
  SendMessageW(GetParent(window), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&link));
}

void Paint(HWND window) {
  PAINTSTRUCT paint{};
  const HDC dc = BeginPaint(window, &paint);
  if (dc == nullptr) return;
  const std::wstring shown = win32::Wide(wizard::ParseLinkMarkup(WindowText(window)).shown);
  SetBkMode(dc, TRANSPARENT);
  const HFONT font = LinkFont(window);
  const HGDIOBJ previous = font != nullptr ? SelectObject(dc, font) : nullptr;
  SetTextColor(dc, GetSysColor(COLOR_HOTLIGHT));
  TextOutW(dc, 0, 0, shown.c_str(), static_cast<int>(shown.size()));
  if (Property(window, kHasFocus) != 0) {
    const RECT text{0, 0, static_cast<LONG>(Property(window, kWidth)),
                    static_cast<LONG>(Property(window, kHeight))};
    DrawFocusRect(dc, &text);
  }
  if (previous != nullptr) SelectObject(dc, previous);
  EndPaint(window, &paint);
}

void EraseBackground(HWND window, HDC dc) {
  RECT client{};
  GetClientRect(window, &client);
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
}

void Destroy(HWND window) {
  ReplaceFont(window, nullptr);
  for (const wchar_t* name : {kHasFocus, kFont, kWidth, kHeight, kOnItem})
    RemovePropW(window, name);
}

bool WantsEnter(LPARAM message) {
  const auto* pending = reinterpret_cast<const MSG*>(message);
  return pending != nullptr && pending->message == WM_KEYDOWN && pending->wParam == VK_RETURN;
}

LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetProperty(window, kHasFocus, 0);
      SetPropW(window, kFont, nullptr);
      break;
    case WM_SETFONT:
      TakeFont(window, reinterpret_cast<HFONT>(wParam));
      break;
    case WM_SETTEXT: {
      const auto* text = reinterpret_cast<const wchar_t*>(lParam);
      Measure(window, win32::FromWide(text));
      InvalidateRect(window, nullptr, TRUE);
      break;
    }
    case WM_PAINT:
      Paint(window);
      break;
    case WM_ERASEBKGND:
      EraseBackground(window, reinterpret_cast<HDC>(wParam));
      return 1;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      SetProperty(window, kHasFocus, message == WM_SETFOCUS ? 1 : 0);
      InvalidateRect(window, nullptr, TRUE);
      break;
    case WM_MOUSEMOVE:
      SetProperty(window, kOnItem, OnText(window, lParam) ? 1 : 0);
      if (Property(window, kOnItem) != 0) SetCursor(LoadCursorW(nullptr, IDC_HAND));
      break;
    case WM_SETCURSOR:
      SetCursor(LoadCursorW(nullptr, Property(window, kOnItem) != 0 ? IDC_HAND : IDC_ARROW));
      return TRUE;
    case WM_LBUTTONDOWN:
      SetFocus(window);
      SetCapture(window);
      break;
    case WM_LBUTTONUP:
      if (OnText(window, lParam)) Notify(window, static_cast<UINT>(NM_CLICK));
      ReleaseCapture();
      break;
    case WM_RBUTTONDOWN:
      SetFocus(window);
      break;
    case WM_GETDLGCODE:
      // Enter follows the link, as with the system's control, rather than
      // pressing the dialog's default button.
      if (WantsEnter(lParam)) return DLGC_WANTMESSAGE;
      break;
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) Notify(window, static_cast<UINT>(NM_RETURN));
      break;
    case WM_DESTROY:
      Destroy(window);
      break;
    default:
      break;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK LinkWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    return HandleMessage(window, message, wParam, lParam);
  } catch (...) {
    // Nothing may unwind into the system; the message is left undone.
    return 0;
  }
}

}  // namespace

bool RegisterLinkControl(const wchar_t* className) {
  WNDCLASSEXW linkClass{};
  linkClass.cbSize = sizeof(linkClass);
  linkClass.lpfnWndProc = LinkWindowProc;
  linkClass.hInstance = GetModuleHandleW(nullptr);
  linkClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  linkClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  linkClass.lpszClassName = className;
  return RegisterClassExW(&linkClass) != 0;
}

void EnsureLinkClass() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_LINK_CLASS;
  InitCommonControlsEx(&controls);
  WNDCLASSEXW existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExW(nullptr, kLinkClassName, &existing)) return;
  (void)RegisterLinkControl();
}

}  // namespace tarn::ui
