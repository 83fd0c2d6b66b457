// The About dialog and the program's own link control under Wine, with the
// program's own templates.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "app/app_context.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "tarn_version.h"
#include "ui/about_dialog.h"
#include "ui/link_control.h"
#include "wizard/countdown.h"

// After <windows.h>, which it needs.
#include <commctrl.h>

namespace tarn::ui {
namespace {

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[256] = {};
  GetDlgItemTextW(dialog, id, text, 256);
  return text;
}

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

// What the timer saw of the open dialog.
struct AboutSeen {
  bool found = false;
  std::wstring version;
  std::wstring buildDate;
  bool hasLinks = false;
  LONG titleWeight = 0;
  bool headerOnWindowColour = false;
};
AboutSeen seen;

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
  if (ClassOf(window) != L"#32770") return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

// Runs inside the dialog's own message loop: reads the fields once the
// dialog is up, then presses OK.
void CALLBACK ReadAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
  try {
    HWND dialog = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    seen.found = true;
    seen.version = ItemText(dialog, IDC_VERSION_EDIT);
    seen.buildDate = ItemText(dialog, IDC_BUILD_DATE_EDIT);
    seen.hasLinks = GetDlgItem(dialog, IDC_HOMEPAGE_LINK) != nullptr &&
                    GetDlgItem(dialog, IDC_FORUM_LINK) != nullptr &&
                    GetDlgItem(dialog, IDC_TRANSLATION_LINK) != nullptr;
    HWND title = GetDlgItem(dialog, IDC_ABOUT_TITLE_LABEL);
    LOGFONTW font{};
    const auto titleFont = reinterpret_cast<HFONT>(SendMessageW(title, WM_GETFONT, 0, 0));
    if (titleFont != nullptr && GetObjectW(titleFont, sizeof(font), &font) != 0) {
      seen.titleWeight = font.lfWeight;
    }
    const HDC dc = GetDC(title);
    seen.headerOnWindowColour =
        SendMessageW(dialog, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(title)) ==
        reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
    ReleaseDC(title, dc);
    PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  } catch (...) {
  }
}

TEST(AboutDialog, ShowsTheProjectsVersionAndTheCommitsDate) {
  win32::Win32Platform system;
  AppContext app(system.platform());
  seen = {};
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, ReadAndClose);
  const wizard::Countdown countdown{wizard::CountdownSettings{}};
  OpenAboutDialog(nullptr, app, countdown, true);
  KillTimer(nullptr, timer);

  ASSERT_TRUE(seen.found) << "the dialog did not open";
  EXPECT_EQ(ToUtf8(win32::FromWide(seen.version.c_str())), TARN_VERSION_TEXT);
  // The tests are built from a checkout, whose commit has a date.
  EXPECT_FALSE(seen.buildDate.empty());
  EXPECT_LE(seen.buildDate.size(), 63u);
  EXPECT_TRUE(seen.hasLinks) << "a link control was not created";
  EXPECT_EQ(seen.titleWeight, 700);
  EXPECT_TRUE(seen.headerOnWindowColour);
}

// A parent that keeps the last link notification it got.
struct Followed {
  UINT code = 0;
  std::wstring target;
  int count = 0;
};
Followed followed;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const auto* link = reinterpret_cast<const NMLINK*>(lParam);
    followed.code = link->hdr.code;
    followed.target.assign(link->item.szUrl, wcsnlen(link->item.szUrl, L_MAX_URL_LENGTH));
    ++followed.count;
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST(LinkControl, ReportsClicksOnItsTextAndEnterWithTheTarget) {
  ASSERT_TRUE(RegisterLinkControl(L"TarnTestLink"));
  EXPECT_FALSE(RegisterLinkControl(L"TarnTestLink")) << "a second registration must fail";
  WNDCLASSEXW parentClass{};
  parentClass.cbSize = sizeof(parentClass);
  parentClass.lpfnWndProc = ParentProc;
  parentClass.hInstance = GetModuleHandleW(nullptr);
  parentClass.lpszClassName = L"TarnTestLinkParent";
  ASSERT_NE(RegisterClassExW(&parentClass), 0);
  HWND parent = CreateWindowExW(0, L"TarnTestLinkParent", L"", WS_OVERLAPPED, 0, 0, 300, 100,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND link = CreateWindowExW(0, L"TarnTestLink", L"<a id=\"help\">Help</a>", WS_CHILD, 0, 0, 200,
                              20, parent, nullptr, GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(link, nullptr);
  SendMessageW(link, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  const auto width = reinterpret_cast<intptr_t>(GetPropW(link, L"cx"));
  ASSERT_GT(width, 0) << "the shown text was not measured";
  followed = {};

  SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(followed.count, 1);
  EXPECT_EQ(followed.code, static_cast<UINT>(NM_CLICK));
  EXPECT_EQ(followed.target, L"help");

  SendMessageW(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  SendMessageW(link, WM_LBUTTONUP, 0, MAKELPARAM(static_cast<int>(width) + 20, 2));
  EXPECT_EQ(followed.count, 1) << "a click that ends beside the text sends nothing";

  SetWindowTextW(link, L"No markup");
  SendMessageW(link, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(followed.count, 2);
  EXPECT_EQ(followed.code, static_cast<UINT>(NM_RETURN));
  EXPECT_EQ(followed.target, L"") << "plain text leads nowhere";

  DestroyWindow(parent);
  UnregisterClassW(L"TarnTestLink", GetModuleHandleW(nullptr));
  UnregisterClassW(L"TarnTestLinkParent", GetModuleHandleW(nullptr));
}

}  // namespace
}  // namespace tarn::ui
