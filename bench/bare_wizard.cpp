// The floor for the wizard's start time: a Wizard97 property sheet with one
// of the program's own pages and nothing else (no configuration, no texts,
// no accounts), shown the way the wizard frame shows its sheet.
#include <windows.h>

#include <commctrl.h>
#include <prsht.h>

#include "resource.h"

namespace {

INT_PTR CALLBACK EmptyPage(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof(page);
  page.dwFlags = PSP_USETITLE | PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE;
  page.hInstance = instance;
  page.pszTemplate = MAKEINTRESOURCEW(IDD_SETTINGS_PAGE);
  page.pfnDlgProc = &EmptyPage;
  page.pszTitle = L"Bare wizard";
  page.pszHeaderTitle = L"Header";
  page.pszHeaderSubTitle = L"Subtitle";
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_WIZARD97 | PSH_HEADER | PSH_MODELESS | PSH_PROPSHEETPAGE;
  header.hInstance = instance;
  header.nPages = 1;
  header.ppsp = &page;
  header.pszbmHeader = MAKEINTRESOURCEW(IDB_HEADER);
  const HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
  if (!sheet) return 1;
  ShowWindow(sheet, SW_SHOW);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (!PropSheet_IsDialogMessage(sheet, &message)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    if (!PropSheet_GetCurrentPageHwnd(sheet)) break;
  }
  return 0;
}
