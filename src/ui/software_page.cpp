#include "ui/software_page.h"

#include <algorithm>

#include "app/app_context.h"
#include "app/startup_variables.h"
#include "base/format.h"
#include "base/paths.h"
#include "catalogue/software_catalogue.h"
#include "platform/win32/win32_text.h"
#include "resource.h"
#include "run/installation_variables.h"
#include "startup/account_steps.h"
#include "ui/configuration_file_dialog.h"
#include "ui/control_geometry.h"
#include "ui/page_countdown.h"
#include "ui/shell_open.h"
#include "ui/translate_ui.h"
#include "ui/window_dpi.h"
#include "wizard/configuration_load.h"
#include "wizard/countdown.h"
#include "wizard/help_content.h"
#include "wizard/software_page_layout.h"

namespace tarn::ui {

SoftwarePage::SoftwarePage(WizardSession& session)
    : PropertyPage(IDD_SOFTWARE_PAGE),
      session_(session),
      list_(*session.app.platform.environment) {}

SoftwarePage::~SoftwarePage() {
  list_.Detach();
  help_.Destroy();
  if (menu_) DestroyMenu(menu_);
}

bool SoftwarePage::OnInitDialog() {
  TranslateDialog(window(), IDD_SOFTWARE_PAGE, session_.app.translator);
  SetUpList();
  CheckDlgButton(window(), IDC_SELECT_ALL_CHECK, BST_INDETERMINATE);
  selection_ = std::make_unique<wizard::SoftwareSelection>(session_.catalogue);
  list_.SetModel(selection_.get());
  EnableWindow(Control(IDC_SOFTWARE_LIST), !session_.catalogue.empty());
  if (help_.Create(CreateHelpControl())) ShowDefaultHelp();
  CreateLoadMenu();
  ShowLoadButton();
  ArmPageTimers(session_, window());
  // The page paints only its splitter's strip: the list and the pane paint
  // themselves, so a drag redraws no background under them.
  SetWindowLongPtrW(window(), GWL_STYLE, GetWindowLongPtrW(window(), GWL_STYLE) | WS_CLIPCHILDREN);
  LayOut();
  return true;
}

void SoftwarePage::SetUpList() {
  HWND list = Control(IDC_SOFTWARE_LIST);
  const Text header = session_.app.translator.Translate(IDS_SOFTWARE_COLUMN);
  const std::wstring text = win32::Wide(header);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = const_cast<wchar_t*>(text.c_str());
  column.cx = session_.app.config.SplitterPos;
  SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  list_.Attach(list);
}

HWND SoftwarePage::CreateHelpControl() {
  if (!LoadRichEdit()) return nullptr;
  HWND list = Control(IDC_SOFTWARE_LIST);
  const RECT bounds = RectInParent(list);
  HWND pane = CreateWindowExW(
      WS_EX_CLIENTEDGE, L"RichEdit20W", L"",
      WS_CHILD | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL,
      bounds.right + wizard::SplitterWidth(WindowDpi(window())), bounds.top, 1,
      bounds.bottom - bounds.top, window(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_HELP_RICHEDIT)), session_.instance, nullptr);
  if (!pane) return nullptr;
  // Right after the list in the tab order.
  SetWindowPos(pane, list, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  SendMessageW(pane, WM_SETFONT, SendMessageW(window(), WM_GETFONT, 0, 0), FALSE);
  return pane;
}

void SoftwarePage::CreateLoadMenu() {
  menu_ = LoadMenuW(session_.instance, MAKEINTRESOURCEW(IDR_LOAD_MENU));
  if (!menu_) return;
  TranslateMenu(menu_, session_.app.translator);
  HMENU items = GetSubMenu(menu_, 0);
  const bool disabled = session_.app.config.DisableLoadMenu == 1;
  const UINT state = disabled ? MF_GRAYED : MF_ENABLED;
  EnableMenuItem(items, IDM_BROWSE_FILE, MF_BYCOMMAND | state);
  configurationFiles_ = wizard::ConfigurationFiles(*session_.app.platform.files, ProgramFolder());
  UINT id = IDM_CONFIG_FILE_BASE;
  for (const Text& name : configurationFiles_) {
    AppendMenuW(items, MF_STRING | state, id++, win32::Wide(name).c_str());
  }
}

void SoftwarePage::ShowLoadButton() {
  EnableWindow(Control(IDC_LOAD_SOFTWARE_BUTTON), session_.countdown.ShellWindowsAllowed());
}

void SoftwarePage::OnCountdownStopped() {
  ShowLoadButton();
}

LONG_PTR SoftwarePage::OnSetActive() {
  // Descriptions and help show the values of the account that will install.
  wizard::SetInstallingAccountVariables(session_.app, session_.accounts);
  InvalidateRect(Control(IDC_SOFTWARE_LIST), nullptr, TRUE);
  PropSheet_SetWizButtons(
      sheet(), session_.app.config.SkipSettings ? PSWIZB_NEXT : PSWIZB_BACK | PSWIZB_NEXT);
  return 0;
}

LONG_PTR SoftwarePage::OnWizNext() {
  StopCountdown();
  return 0;
}

bool SoftwarePage::OnQueryCancel() {
  return RefuseCancel(session_, window());
}

LRESULT SoftwarePage::OnNotify(NMHDR& header, bool& handled) {
  handled = false;
  if (header.idFrom == IDC_SOFTWARE_LIST) {
    LRESULT result = 0;
    if (list_.Notify(header, result)) {
      handled = true;
      return result;
    }
    switch (header.code) {
      case LVN_ITEMCHANGED:
        // Every way the current row moves ends here: arrows, Home, End,
        // the page keys, type-ahead, clicks and folding a section.
        ShowHelpOf(FocusGained(reinterpret_cast<const NMLISTVIEW&>(header)));
        return 0;
      case NM_CLICK: {
        const int item = reinterpret_cast<NMITEMACTIVATE&>(header).iItem;
        ShowHelpOf(item >= 0 ? std::optional<size_t>(item) : std::nullopt);
        StopCountdown();
        return 0;
      }
      case LVN_KEYDOWN:
        // A key on the row the pane does not show yet (the default help at
        // the start) shows its help; a key that moves on shows the next.
        ShowHelpOf(list_.CurrentRow());
        StopCountdown();
        return 0;
      case EXLVN_SELCHANGED:
        // The model already remembered the choice for "Select all".
        StopCountdown();
        return 0;
      default:
        return 0;
    }
  }
  if (header.idFrom != IDC_HELP_RICHEDIT) return 0;
  switch (header.code) {
    case EN_PROTECTED:
      handled = true;
      return 1;
    case EN_LINK: {
      const auto& link = reinterpret_cast<const ENLINK&>(header);
      if (link.msg != WM_LBUTTONDBLCLK) return 0;
      // A double click is a person: the countdown stops, and the link opens.
      StopCountdown();
      const Text target = help_.LinkText(link);
      if (!target.empty() && session_.countdown.ShellWindowsAllowed()) {
        FollowLink(target, &session_.app.log);
      }
      return 0;
    }
    default:
      return 0;
  }
}

std::optional<size_t> SoftwarePage::FocusGained(const NMLISTVIEW& change) {
  const bool gained = (change.uChanged & LVIF_STATE) != 0 &&
                      (change.uNewState & LVIS_FOCUSED) != 0 &&
                      (change.uOldState & LVIS_FOCUSED) == 0;
  if (!gained || change.iItem < 0) return std::nullopt;
  return static_cast<size_t>(change.iItem);
}

void SoftwarePage::ShowHelpOf(std::optional<size_t> row) {
  const catalogue::SoftwareEntry* entry = row ? selection_->EntryAt(*row) : nullptr;
  // Folding a section places the selection anew on the same entry: its
  // help stays as it is, scrolled where the reader left it.
  if (!entry || entry == helpEntry_) return;
  helpEntry_ = entry;
  const wizard::HelpContent content =
      wizard::HelpFor(*entry, session_.app.config.DefaultHelp.view(),
                      *session_.app.platform.environment, ProgramFolder());
  switch (content.kind) {
    case wizard::HelpKind::kFile:
      (void)help_.ShowHelpFile(content.path);
      return;
    case wizard::HelpKind::kText:
      help_.ShowHelpText(content.title, content.body);
      return;
    case wizard::HelpKind::kEmpty:
      help_.Clear();
      return;
  }
}

void SoftwarePage::ShowDefaultHelp() {
  helpEntry_ = nullptr;
  const wizard::HelpContent content = wizard::DefaultHelpContent(
      session_.app.config.DefaultHelp.view(), *session_.app.platform.environment, ProgramFolder());
  if (content.kind == wizard::HelpKind::kFile) {
    (void)help_.ShowHelpFile(content.path);
  } else {
    help_.Clear();
  }
}

bool SoftwarePage::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  if (id == IDC_SELECT_ALL_CHECK) {
    CycleSelectAll();
    return true;
  }
  if (id == IDC_LOAD_SOFTWARE_BUTTON) {
    OpenLoadMenu();
    return true;
  }
  return false;
}

void SoftwarePage::CycleSelectAll() {
  StopCountdown();
  list_.Apply(selection_->CycleSelectAll());
  ShowSelectAllState();
}

void SoftwarePage::ShowSelectAllState() {
  UINT state = BST_INDETERMINATE;
  switch (selection_->SelectAll()) {
    case wizard::SelectAllState::kUnchecked:
      state = BST_UNCHECKED;
      break;
    case wizard::SelectAllState::kChecked:
      state = BST_CHECKED;
      break;
    case wizard::SelectAllState::kIndeterminate:
      break;
  }
  CheckDlgButton(window(), IDC_SELECT_ALL_CHECK, state);
}

void SoftwarePage::OpenLoadMenu() {
  StopCountdown();
  if (!menu_ || !session_.countdown.ShellWindowsAllowed()) return;
  RECT button{};
  GetWindowRect(Control(IDC_LOAD_SOFTWARE_BUTTON), &button);
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(GetSubMenu(menu_, 0), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD,
                     button.left, button.bottom, 0, window(), nullptr));
  if (command != 0) LoadMenuCommand(command);
}

void SoftwarePage::LoadMenuCommand(UINT command) {
  if (command == IDM_LOAD_DEFAULTS) {
    LoadFrom(Text(session_.app.config.IniPath.view()));
    return;
  }
  if (command == IDM_BROWSE_FILE) {
    if (const std::optional<Text> chosen =
            AskForConfigurationFile(window(), session_.app.translator, IDS_LOAD_SOFTWARE_TITLE)) {
      LoadFrom(
          wizard::ConfigurationPath(*session_.app.platform.environment, *chosen, ProgramFolder()));
    }
    return;
  }
  const size_t index = command - IDM_CONFIG_FILE_BASE;
  if (command < IDM_CONFIG_FILE_BASE || index >= configurationFiles_.size()) return;
  LoadFrom(app::MakeAbsoluteToProgram(configurationFiles_[index], ProgramFolder()));
}

void SoftwarePage::LoadFrom(const Text& path) {
  // The rows point into the catalogue: the list lets go of them before the
  // catalogue may be replaced, and takes the model that fits afterwards.
  list_.SetModel(nullptr);
  helpEntry_ = nullptr;
  const wizard::LoadOutcome outcome =
      wizard::LoadConfiguration(session_.app, session_.accounts, path, session_.catalogue);
  if (outcome == wizard::LoadOutcome::kLoaded) {
    selection_ = std::make_unique<wizard::SoftwareSelection>(session_.catalogue);
  }
  list_.SetModel(selection_.get());
  EnableWindow(Control(IDC_SOFTWARE_LIST), !session_.catalogue.empty());
  if (outcome == wizard::LoadOutcome::kLoaded) {
    ShowSelectAllState();
    ShowDefaultHelp();
    return;
  }
  app::Translator& translator = session_.app.translator;
  const uint32_t reason =
      outcome == wizard::LoadOutcome::kNoSoftware ? IDS_LOAD_NO_SOFTWARE : IDS_LOAD_UNREADABLE;
  const Text message = Format(translator.Translate(reason), {TextView(path)});
  MessageBoxW(window(), win32::Wide(message).c_str(),
              win32::Wide(translator.Translate(IDS_LOAD_SOFTWARE_TITLE)).c_str(),
              MB_OK | MB_ICONWARNING);
}

void SoftwarePage::StopCountdown() {
  ui::StopCountdown(session_, window());
}

void SoftwarePage::OnTimer(UINT_PTR id) {
  switch (FirePageTimer(session_, window(), id, IsCurrent())) {
    case wizard::CountdownAction::kEndWizard:
      PressCancelForAutomaticEnd(window());
      return;
    case wizard::CountdownAction::kStartInstallation:
      PostMessageW(sheet(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
      return;
    case wizard::CountdownAction::kNothing:
      return;
  }
}

void SoftwarePage::OnSize(int, int) {
  LayOut();
}

void SoftwarePage::LayOut() {
  HWND list = Control(IDC_SOFTWARE_LIST);
  RECT client{};
  GetClientRect(window(), &client);
  const RECT listBounds = RectInParent(list);
  const RECT load = RectInParent(Control(IDC_LOAD_SOFTWARE_BUTTON));
  const RECT selectAll = RectInParent(Control(IDC_SELECT_ALL_CHECK));
  wizard::SoftwarePageMetrics metrics;
  metrics.width = client.right;
  metrics.height = client.bottom;
  metrics.listTop = listBounds.top;
  metrics.loadButton = {load.right - load.left, load.bottom - load.top};
  metrics.selectAllButton = {selectAll.right - selectAll.left, selectAll.bottom - selectAll.top};
  metrics.dpi = WindowDpi(window());
  metrics.listScrolls = (GetWindowLongPtrW(list, GWL_STYLE) & WS_VSCROLL) != 0;
  metrics.scrollBarWidth = SystemMetricForDpi(SM_CXVSCROLL, metrics.dpi);
  metrics.dialogFrameWidth = BorderWidth(list, metrics.listScrolls ? metrics.scrollBarWidth : 0);
  int32_t& splitter = session_.app.config.SplitterPos;
  const wizard::SoftwarePageLayout layout = wizard::LayOutSoftwarePage(splitter, metrics);
  splitter = layout.splitter;
  const auto place = [](HWND control, const wizard::Rect& r) {
    SetWindowPos(control, nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(list, layout.list);
  place(Control(IDC_HELP_RICHEDIT), layout.help);
  place(Control(IDC_LOAD_SOFTWARE_BUTTON), layout.load);
  place(Control(IDC_SELECT_ALL_CHECK), layout.selectAll);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 0, layout.columnWidth);
  // The strip is all the page itself shows between list and pane.
  const RECT strip{layout.splitter, layout.list.y, layout.help.x,
                   layout.list.y + layout.list.height};
  InvalidateRect(window(), &strip, TRUE);
}

bool SoftwarePage::OnMouse(UINT message, LPARAM lParam) {
  const int x = static_cast<short>(LOWORD(lParam));
  switch (message) {
    case WM_LBUTTONDOWN:
      StopCountdown();
      if (!wizard::OnSplitter(x, session_.app.config.SplitterPos, WindowDpi(window()))) {
        return false;
      }
      dragging_ = true;
      SetCapture(window());
      return true;
    case WM_MOUSEMOVE: {
      if (!dragging_) return false;
      RECT client{};
      GetClientRect(window(), &client);
      session_.app.config.SplitterPos =
          wizard::DraggedSplitter(x, client.right, WindowDpi(window()));
      LayOut();
      return true;
    }
    case WM_LBUTTONUP:
      if (!dragging_) return false;
      dragging_ = false;
      ReleaseCapture();
      return true;
    default:
      return false;
  }
}

INT_PTR SoftwarePage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      handled = OnMouse(message, lParam);
      return 0;
    case WM_RBUTTONDOWN:
      StopCountdown();
      return 0;
    case WM_CAPTURECHANGED:
      dragging_ = false;
      return 0;
    case WM_PARENTNOTIFY:
      if (IsButtonPress(wParam)) StopCountdown();
      return 0;
    case WM_SETCURSOR: {
      POINT pointer{};
      GetCursorPos(&pointer);
      ScreenToClient(window(), &pointer);
      if (reinterpret_cast<HWND>(wParam) != window() ||
          !wizard::OnSplitter(pointer.x, session_.app.config.SplitterPos, WindowDpi(window()))) {
        return 0;
      }
      SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
      SetWindowLongPtrW(window(), DWLP_MSGRESULT, TRUE);
      handled = true;
      return TRUE;
    }
    default:
      return 0;
  }
}

void SoftwarePage::OnDestroy() {
  KillPageTimers(window());
  list_.Detach();
  help_.Destroy();
  if (menu_) DestroyMenu(menu_);
  menu_ = nullptr;
  RemovePropW(window(), kAutoCancelProperty);
}

Text SoftwarePage::ProgramFolder() const {
  return app::ProgramFolder(*session_.app.platform.system);
}

}  // namespace tarn::ui
