#include "ui/help_window.h"

#include <algorithm>
#include <string>

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/guarded_dialog.h"
#include "ui/line_breaks.h"
#include "ui/translate_ui.h"

namespace tarn::ui {
namespace {

// Dialog units of the template, turned into pixels once the dialog's font is
// known.
constexpr RECT kMarginUnits{0, 0, 7, 7};
constexpr RECT kButtonUnits{0, 0, 50, 14};
// Small enough for any screen, large enough to keep a few lines and the
// button visible.
constexpr RECT kMinimumClientUnits{0, 0, 160, 80};

struct HelpWindowState {
  std::wstring text;
  std::wstring caption;
  app::Translator* translator = nullptr;
  SIZE margin{};
  SIZE button{};
  SIZE minimumWindow{};
};

SIZE DialogUnitsToPixels(HWND dialog, RECT units) {
  MapDialogRect(dialog, &units);
  return SIZE{units.right - units.left, units.bottom - units.top};
}

HelpWindowState* StateOf(HWND dialog) {
  return DialogStateOf<HelpWindowState>(dialog);
}

void LayOut(HWND dialog, const HelpWindowState& state) {
  RECT client{};
  GetClientRect(dialog, &client);
  const LONG width = client.right - client.left;
  const LONG height = client.bottom - client.top;
  const LONG buttonTop = height - state.margin.cy - state.button.cy;
  MoveWindow(GetDlgItem(dialog, IDOK), width - state.margin.cx - state.button.cx, buttonTop,
             state.button.cx, state.button.cy, TRUE);
  MoveWindow(GetDlgItem(dialog, IDC_HELP_EDIT), state.margin.cx, state.margin.cy,
             std::max<LONG>(0, width - 2 * state.margin.cx),
             std::max<LONG>(0, buttonTop - 2 * state.margin.cy), TRUE);
}

// Keeps the whole window on the work area of its monitor (the taskbar stays
// visible) and centres it there, above all other windows as the message box
// it replaces was.
void FitToWorkArea(HWND dialog) {
  RECT window{};
  GetWindowRect(dialog, &window);
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  if (!GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTOPRIMARY), &monitor)) {
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &monitor.rcWork, 0);
  }
  const RECT& work = monitor.rcWork;
  const LONG width = std::min(window.right - window.left, work.right - work.left);
  const LONG height = std::min(window.bottom - window.top, work.bottom - work.top);
  SetWindowPos(dialog, HWND_TOPMOST, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, width, height, 0);
}

void Initialise(HWND dialog, HelpWindowState& state) {
  TranslateDialog(dialog, IDD_HELP, *state.translator);
  if (!state.caption.empty()) SetWindowTextW(dialog, state.caption.c_str());
  SetDlgItemTextW(dialog, IDC_HELP_EDIT, state.text.c_str());

  HICON icon = LoadIconW(nullptr, IDI_INFORMATION);
  SendMessageW(dialog, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  SendMessageW(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

  state.margin = DialogUnitsToPixels(dialog, kMarginUnits);
  state.button = DialogUnitsToPixels(dialog, kButtonUnits);
  const SIZE minimumClient = DialogUnitsToPixels(dialog, kMinimumClientUnits);
  RECT minimum{0, 0, minimumClient.cx, minimumClient.cy};
  AdjustWindowRectEx(&minimum, static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrW(dialog, GWL_EXSTYLE)));
  state.minimumWindow = SIZE{minimum.right - minimum.left, minimum.bottom - minimum.top};

  FitToWorkArea(dialog);
  LayOut(dialog, state);

  // The reader scrolls with the keyboard at once; no text is selected, as it
  // would be when the dialog manager gives the text the focus.
  HWND textControl = GetDlgItem(dialog, IDC_HELP_EDIT);
  SetFocus(textControl);
  SendMessageW(textControl, EM_SETSEL, 0, 0);
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(dialog, *reinterpret_cast<HelpWindowState*>(lParam));
      return FALSE;  // the focus is set
    case WM_SIZE:
      if (const HelpWindowState* state = StateOf(dialog)) LayOut(dialog, *state);
      return TRUE;
    case WM_GETMINMAXINFO:
      // Arrives before WM_INITDIALOG, when nothing is measured yet.
      if (const HelpWindowState* state = StateOf(dialog)) {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize = POINT{state->minimumWindow.cx, state->minimumWindow.cy};
        return TRUE;
      }
      return FALSE;
    case WM_COMMAND:
      return EndOnOkOrCancel(dialog, wParam) ? TRUE : FALSE;
    case WM_CLOSE:
      // Escape in the multi-line text arrives here rather than as IDCANCEL.
      EndDialog(dialog, IDOK);
      return TRUE;
    default:
      return FALSE;
  }
}

}  // namespace

bool ShowHelpWindow(TextView text, TextView caption, app::Translator& translator) {
  HelpWindowState state;
  state.text = WithCrLf(text);
  state.caption = win32::Wide(caption);
  state.translator = &translator;
  const INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_HELP), nullptr,
                      StatefulDialogProc<HandleMessage>, reinterpret_cast<LPARAM>(&state));
  return result != -1 && result != 0;
}

}  // namespace tarn::ui
