#include "ui/about_dialog.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>
#include <string>
#include <type_traits>

#include "app/app_context.h"
#include "app/program_version.h"
#include "platform/win32/win32_handles.h"
#include "platform/win32/win32_text.h"
#include "resource.h"
#include "ui/guarded_dialog.h"
#include "ui/link_control.h"
#include "ui/shell_open.h"
#include "ui/translate_ui.h"
#include "wizard/about_facts.h"
#include "wizard/countdown.h"
#include "wizard/link_markup.h"

namespace tarn::ui {
namespace {

constexpr int kTitlePoints = 10;
constexpr LONG kBold = 700;

using UniqueFont = win32::UniqueSystemPointer<std::remove_pointer_t<HFONT>, DeleteObject>;

struct AboutState {
  AppContext* app = nullptr;
  const wizard::Countdown* countdown = nullptr;
  bool mayLog = false;
  // Outlives the dialog: it is released once the dialog has gone.
  UniqueFont titleFont;
};

// A bold copy of the title's font at the title size, for the screen's
// vertical resolution.
UniqueFont MakeTitleFont(HWND title) {
  LOGFONTW description{};
  const auto font = reinterpret_cast<HFONT>(SendMessageW(title, WM_GETFONT, 0, 0));
  const HGDIOBJ source = font != nullptr ? font : GetStockObject(DEFAULT_GUI_FONT);
  if (GetObjectW(source, sizeof(description), &description) == 0) return nullptr;
  const HDC screen = GetDC(nullptr);
  const int pixelsPerInch = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen != nullptr) ReleaseDC(nullptr, screen);
  description.lfHeight = -MulDiv(kTitlePoints, pixelsPerInch, 72);
  description.lfWeight = kBold;
  return UniqueFont(CreateFontIndirectW(&description));
}

// A link's words come from the translation file, its target from the
// template: translators can't send the click elsewhere. The control reads
// its markup only when it is made, so a new one takes the old one's place,
// font and turn in the tab order.
void TranslateLinkWords(HWND dialog, int linkId, uint32_t textId, app::Translator& translator) {
  const std::optional<Text> words = translator.Lookup(textId);
  const HWND link = GetDlgItem(dialog, linkId);
  if (!words || link == nullptr) return;
  const int length = GetWindowTextLengthW(link);
  std::wstring markup(static_cast<size_t>(length) + 1, L'\0');
  markup.resize(static_cast<size_t>(GetWindowTextW(link, markup.data(), length + 1)));
  const std::wstring translated =
      win32::Wide(wizard::LinkWithShownText(win32::FromWide(markup.data(), markup.size()), *words));
  RECT place{};
  GetWindowRect(link, &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  wchar_t className[32] = {};
  GetClassNameW(link, className, 32);
  const HWND replacement = CreateWindowExW(
      static_cast<DWORD>(GetWindowLongPtrW(link, GWL_EXSTYLE)), className, translated.c_str(),
      static_cast<DWORD>(GetWindowLongPtrW(link, GWL_STYLE)), place.left, place.top,
      place.right - place.left, place.bottom - place.top, dialog,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(linkId)), GetModuleHandleW(nullptr), nullptr);
  if (replacement == nullptr) return;
  SendMessageW(replacement, WM_SETFONT, SendMessageW(link, WM_GETFONT, 0, 0), FALSE);
  SetWindowPos(replacement, link, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // Hidden rather than destroyed: Wine's link control deletes the font it
  // was given when it goes, and that font is the dialog's. It goes with
  // the dialog.
  SetWindowLongPtrW(link, GWLP_ID, IDC_STATIC);
  SetWindowLongPtrW(link, GWL_STYLE, GetWindowLongPtrW(link, GWL_STYLE) & ~WS_TABSTOP);
  ShowWindow(link, SW_HIDE);
  EnableWindow(link, FALSE);
}

void Initialise(HWND dialog, AboutState& state) {
  const HWND title = GetDlgItem(dialog, IDC_ABOUT_TITLE_LABEL);
  state.titleFont = MakeTitleFont(title);
  if (state.titleFont) {
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(state.titleFont.get()), TRUE);
  }
  const wizard::AboutFacts facts =
      wizard::AboutFactsOf(state.app->platform, app::ThisProgramBuild());
  SetDlgItemTextW(dialog, IDC_VERSION_EDIT, win32::Wide(facts.version).c_str());
  SetDlgItemTextW(dialog, IDC_BUILD_DATE_EDIT, win32::Wide(facts.buildDate).c_str());
  TranslateDialog(dialog, IDD_ABOUT, state.app->translator);
  TranslateLinkWords(dialog, IDC_TRANSLATION_LINK, IDS_TRANSLATION_LINK_TEXT,
                     state.app->translator);
}

bool IsHeaderText(HWND control) {
  const int id = GetDlgCtrlID(control);
  return id == IDC_ABOUT_TITLE_LABEL || id == IDC_ABOUT_SUBTITLE_LABEL ||
         id == IDC_ABOUT_DESCRIPTION_LABEL;
}

// The header texts stand on the white band, not on the dialog's face.
INT_PTR HeaderColours(HDC dc) {
  SetBkColor(dc, GetSysColor(COLOR_WINDOW));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
}

bool IsLink(HWND dialog, HWND control) {
  for (const int id : {IDC_HOMEPAGE_LINK, IDC_FORUM_LINK, IDC_TRANSLATION_LINK}) {
    if (control != nullptr && control == GetDlgItem(dialog, id)) return true;
  }
  return false;
}

// A click on a link, or Enter on one, opens its target in the user's
// browser, unless the wizard may still go on by itself.
void OpenLink(HWND dialog, const NMHDR& header) {
  if (header.code != static_cast<UINT>(NM_CLICK) && header.code != static_cast<UINT>(NM_RETURN)) {
    return;
  }
  if (!IsLink(dialog, header.hwndFrom)) return;
  const auto& link = reinterpret_cast<const NMLINK&>(header);
  const std::wstring target(link.item.szUrl, wcsnlen(link.item.szUrl, L_MAX_URL_LENGTH));
  if (target.empty()) return;
  const AboutState* state = DialogStateOf<AboutState>(dialog);
  if (state == nullptr || !state->countdown->ShellWindowsAllowed()) return;
  FollowLink(win32::FromWide(target.data(), target.size()),
             state->mayLog ? &state->app->log : nullptr);
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(dialog, *reinterpret_cast<AboutState*>(lParam));
      // On OK rather than in the version field, whose text would show selected.
      SetFocus(GetDlgItem(dialog, IDOK));
      return FALSE;
    case WM_CTLCOLORSTATIC:
      if (IsHeaderText(reinterpret_cast<HWND>(lParam))) {
        return HeaderColours(reinterpret_cast<HDC>(wParam));
      }
      return FALSE;
    case WM_NOTIFY:
      OpenLink(dialog, *reinterpret_cast<const NMHDR*>(lParam));
      return FALSE;
    case WM_COMMAND:
      return EndOnOkOrCancel(dialog, wParam) ? TRUE : FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

void OpenAboutDialog(HWND owner, AppContext& app, const wizard::Countdown& countdown, bool mayLog) {
  EnsureLinkClass();
  AboutState state;
  state.app = &app;
  state.countdown = &countdown;
  state.mayLog = mayLog;
  (void)DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner,
                        StatefulDialogProc<HandleMessage>, reinterpret_cast<LPARAM>(&state));
}

}  // namespace tarn::ui
