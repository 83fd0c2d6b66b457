#include "ui/property_page.h"

namespace tarn::ui {

namespace {

constexpr wchar_t kPageProperty[] = L"TarnPage";

PropertyPage* PageOf(HWND window) {
  return static_cast<PropertyPage*>(GetPropW(window, kPageProperty));
}

}  // namespace

PROPSHEETPAGEW PropertyPage::Describe(HINSTANCE instance, const wchar_t* title,
                                      const wchar_t* headerTitle, const wchar_t* headerSubTitle) {
  PROPSHEETPAGEW page{};
  page.dwSize = sizeof(page);
  page.dwFlags = PSP_USETITLE | PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE;
  page.hInstance = instance;
  page.pszTemplate = MAKEINTRESOURCEW(dialogId_);
  page.pfnDlgProc = &PropertyPage::DialogProcedure;
  page.pszTitle = title;
  page.pszHeaderTitle = headerTitle;
  page.pszHeaderSubTitle = headerSubTitle;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

bool PropertyPage::IsCurrent() const {
  const HWND frame = sheet();
  return frame &&
         reinterpret_cast<HWND>(SendMessageW(frame, PSM_GETCURRENTPAGEHWND, 0, 0)) == window_;
}

LRESULT PropertyPage::OnNotify(NMHDR&, bool& handled) {
  handled = false;
  return 0;
}

bool PropertyPage::OnCommand(int, int, HWND) {
  return false;
}
void PropertyPage::OnTimer(UINT_PTR) {}
void PropertyPage::OnSize(int, int) {}

INT_PTR PropertyPage::OnMessage(UINT, WPARAM, LPARAM, bool& handled) {
  handled = false;
  return 0;
}

INT_PTR PropertyPage::DispatchNotify(NMHDR& header) {
  switch (header.code) {
    case PSN_SETACTIVE:
      SetResult(OnSetActive());
      return TRUE;
    case PSN_KILLACTIVE:
      SetResult(OnKillActive() ? TRUE : FALSE);
      return TRUE;
    case PSN_WIZNEXT:
      SetResult(OnWizNext());
      return TRUE;
    case PSN_WIZBACK:
      SetResult(OnWizBack());
      return TRUE;
    case PSN_WIZFINISH:
      SetResult(OnWizFinish() ? TRUE : FALSE);
      return TRUE;
    case PSN_QUERYCANCEL:
      SetResult(OnQueryCancel() ? TRUE : FALSE);
      return TRUE;
    default: {
      bool handled = false;
      const LRESULT result = OnNotify(header, handled);
      if (!handled) return FALSE;
      SetResult(result);
      return TRUE;
    }
  }
}

INT_PTR PropertyPage::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      return OnInitDialog() ? TRUE : FALSE;
    case WM_NOTIFY:
      return DispatchNotify(*reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
      return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE
                                                                                       : FALSE;
    case WM_TIMER:
      OnTimer(wParam);
      return TRUE;
    case WM_SIZE:
      OnSize(LOWORD(lParam), HIWORD(lParam));
      return TRUE;
    default: {
      bool handled = false;
      const INT_PTR result = OnMessage(message, wParam, lParam, handled);
      return handled ? result : FALSE;
    }
  }
}

INT_PTR CALLBACK PropertyPage::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      const auto* record = reinterpret_cast<const PROPSHEETPAGEW*>(lParam);
      auto* page = reinterpret_cast<PropertyPage*>(record->lParam);
      page->window_ = window;
      SetPropW(window, kPageProperty, page);
    }
    PropertyPage* page = PageOf(window);
    if (!page) return FALSE;
    const INT_PTR result = page->Dispatch(message, wParam, lParam);
    if (message == WM_DESTROY) {
      page->OnDestroy();
      RemovePropW(window, kPageProperty);
      page->window_ = nullptr;
    }
    return result;
  } catch (...) {
    return FALSE;
  }
}

}  // namespace tarn::ui
