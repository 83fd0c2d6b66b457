#include "ui/account_list_page.h"

#include <algorithm>
#include <array>

#include "app/app_context.h"
#include "app/prompter.h"
#include "app/startup_variables.h"
#include "base/format.h"
#include "platform/system_info.h"
#include "platform/win32/win32_text.h"
#include "resource.h"
#include "startup/account_steps.h"
#include "ui/account_sheet.h"
#include "ui/changed_folders_dialog.h"
#include "ui/configuration_file_dialog.h"
#include "ui/control_geometry.h"
#include "ui/dialog_icons.h"
#include "ui/page_countdown.h"
#include "ui/timed_message_box.h"
#include "ui/translate_ui.h"
#include "ui/window_dpi.h"
#include "wizard/configuration_load.h"

namespace tarn::ui {

namespace {

constexpr int kNameColumnWidth = 100;
constexpr UINT_PTR kListSubclassId = 1;

// The dialog manager keeps Enter for the default button (the wizard's
// Next); the list asks for it so that Enter opens the selected account.
LRESULT CALLBACK ListWantsEnter(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                DWORD_PTR) {
  try {
    // A hidden page's list may keep the focus when the wizard moves on;
    // Enter then belongs to the wizard's buttons again.
    if (message == WM_GETDLGCODE && lParam != 0 && IsWindowVisible(list)) {
      const MSG* key = reinterpret_cast<const MSG*>(lParam);
      if (key->message == WM_KEYDOWN && key->wParam == VK_RETURN) {
        return DefSubclassProc(list, message, wParam, lParam) | DLGC_WANTALLKEYS;
      }
    }
    if (message == WM_NCDESTROY) RemoveWindowSubclass(list, ListWantsEnter, kListSubclassId);
    return DefSubclassProc(list, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

}  // namespace

AccountListPage::AccountListPage(WizardSession& session)
    : PropertyPage(IDD_ACCOUNTS_PAGE),
      session_(session),
      services_(startup::ServicesOf(session.app)) {}

AccountListPage::~AccountListPage() {
  ReleaseHandles();
}

void AccountListPage::ReleaseHandles() {
  if (menu_) DestroyMenu(menu_);
  menu_ = nullptr;
  images_.reset();
}

bool AccountListPage::OnInitDialog() {
  Result<Text> user = session_.app.platform.system->UserName();
  model_ = std::make_unique<wizard::AccountListModel>(
      services_, session_.accounts, session_.app.config, user.ok() ? *user : Text());
  SetUpList();
  menu_ = LoadMenuW(session_.instance, MAKEINTRESOURCEW(IDR_ACCOUNT_MENU));
  if (menu_) TranslateMenu(menu_, session_.app.translator);
  TranslateDialog(window(), IDD_ACCOUNTS_PAGE, session_.app.translator);
  const wizard::Countdown& countdown = session_.countdown;
  model_->WarnAtStart(Asker(countdown.autoStartArmed() || countdown.autoEndArmed()));
  ShowLoadButton();
  ArmPageTimers(session_, window());
  return true;
}

void AccountListPage::ShowLoadButton() {
  const bool allowed =
      session_.app.config.DisableLoadMenu != 1 && session_.countdown.ShellWindowsAllowed();
  EnableWindow(Control(IDC_LOAD_ACCOUNTS_BUTTON), allowed);
}

void AccountListPage::OnCountdownStopped() {
  ShowLoadButton();
}

void AccountListPage::SetUpList() {
  HWND list = Control(IDC_ACCOUNTS_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  SetWindowSubclass(list, ListWantsEnter, kListSubclassId, 0);
  CreateImageList();
  app::Translator& translator = session_.app.translator;
  RECT client{};
  GetClientRect(list, &client);
  const std::array<std::pair<uint32_t, int>, 2> columns = {
      {{IDS_ACCOUNT_NAME_COLUMN, kNameColumnWidth},
       {IDS_ACCOUNT_DESCRIPTION_COLUMN, std::max<int>(0, client.right - kNameColumnWidth)}}};
  for (size_t i = 0; i < columns.size(); ++i) {
    const std::wstring text = win32::Wide(translator.Translate(columns[i].first));
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(text.c_str());
    column.cx = columns[i].second;
    SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void AccountListPage::CreateImageList() {
  // A missing icon keeps its place, so every row's image index still fits.
  // The icons in the order of the row images.
  images_ = MakeSmallIconList(
      session_.instance,
      {IDI_ACCOUNT_NEW, IDI_ACCOUNT_NEW_DISABLED, IDI_ACCOUNT_EXISTING,
       IDI_ACCOUNT_EXISTING_DISABLED, IDI_ACCOUNT_DELETED, IDI_ACCOUNT_SHEET, IDI_ACCOUNT_SPARE});
  if (!images_) return;
  ImageList_SetBkColor(images_.get(), GetSysColor(COLOR_WINDOW));
  // The list shares the one image list for both views (LVS_SHAREIMAGELISTS):
  // the page releases it.
  HWND list = Control(IDC_ACCOUNTS_LIST);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images_.get()));
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images_.get()));
}

void AccountListPage::ShowRows() {
  HWND list = Control(IDC_ACCOUNTS_LIST);
  // The keyboard goes on from where it was: the focus stays on its row
  // (or the last one), though nothing is selected any more.
  const int focused = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
  const size_t count = model_->rows().size();
  for (size_t row = 0; row < count; ++row) ShowRow(row);
  if (focused >= 0 && count > 0) {
    LVITEMW state{};
    state.stateMask = LVIS_FOCUSED;
    state.state = LVIS_FOCUSED;
    const size_t row = std::min(static_cast<size_t>(focused), count - 1);
    SendMessageW(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(row));
  }
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
  ShowButtons();
}

void AccountListPage::ShowRow(size_t row) {
  const wizard::AccountRow& shown = model_->rows()[row];
  HWND list = Control(IDC_ACCOUNTS_LIST);
  const std::wstring name = win32::Wide(shown.name);
  const std::wstring comment = win32::Wide(shown.comment);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = static_cast<int>(row);
  item.pszText = const_cast<wchar_t*>(name.c_str());
  item.iImage = shown.image;
  item.lParam = reinterpret_cast<LPARAM>(shown.record);
  const int index =
      static_cast<int>(SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
  if (index < 0) return;
  LVITEMW text{};
  text.iSubItem = 1;
  text.pszText = const_cast<wchar_t*>(comment.c_str());
  SendMessageW(list, LVM_SETITEMTEXTW, index, reinterpret_cast<LPARAM>(&text));
}

void AccountListPage::ShowButtons() {
  const wizard::AccountButtons buttons =
      wizard::AccountListModel::ButtonsFor(!SelectedRows().empty());
  EnableWindow(Control(IDC_PROPERTIES_BUTTON), buttons.properties);
  EnableWindow(Control(IDC_REMOVE_ACCOUNT_BUTTON), buttons.remove);
}

std::vector<size_t> AccountListPage::SelectedRows() const {
  std::vector<size_t> rows;
  HWND list = Control(IDC_ACCOUNTS_LIST);
  int item = -1;
  while ((item = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, item, LVNI_SELECTED))) >= 0) {
    rows.push_back(static_cast<size_t>(item));
  }
  return rows;
}

std::optional<size_t> AccountListPage::SelectionMark() const {
  const int mark =
      static_cast<int>(SendMessageW(Control(IDC_ACCOUNTS_LIST), LVM_GETSELECTIONMARK, 0, 0));
  if (mark < 0 || static_cast<size_t>(mark) >= model_->rows().size()) return std::nullopt;
  return static_cast<size_t>(mark);
}

LONG_PTR AccountListPage::OnSetActive() {
  model_->Rebuild();
  ShowRows();
  PostMessageW(sheet(), PSM_SETWIZBUTTONS, 0, PSWIZB_BACK | PSWIZB_NEXT);
  return 0;
}

LONG_PTR AccountListPage::OnWizNext() {
  const bool automatic = automaticNext_;
  automaticNext_ = false;
  if (!ConfirmChangedFolders(window(), session_)) return -1;
  // A person pressed Next: the countdown has nothing left to do. The
  // automatic start lets the next page go on by itself.
  if (!automatic) StopCountdown();
  return session_.app.config.SkipSoftware ? IDD_STATUS_PAGE : 0;
}

bool AccountListPage::OnQueryCancel() {
  return RefuseCancel(session_, window());
}

LRESULT AccountListPage::OnNotify(NMHDR& header, bool& handled) {
  handled = false;
  if (header.idFrom != IDC_ACCOUNTS_LIST) return 0;
  return ListNotify(header, handled);
}

LRESULT AccountListPage::ListNotify(NMHDR& header, bool& handled) {
  switch (header.code) {
    case LVN_ITEMCHANGED: {
      const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
      if ((change.uChanged & LVIF_STATE) != 0 &&
          ((change.uOldState ^ change.uNewState) & LVIS_SELECTED) != 0) {
        ShowButtons();
      }
      return 0;
    }
    case NM_CLICK:
      StopCountdown();
      ShowButtons();
      return 0;
    case NM_RCLICK: {
      StopCountdown();
      ShowButtons();
      const int item = reinterpret_cast<const NMITEMACTIVATE&>(header).iItem;
      POINT at{};
      GetCursorPos(&at);
      OpenMenu(item >= 0 ? std::optional<size_t>(item) : std::nullopt, at);
      // Handled: the list sends no WM_CONTEXTMENU after it.
      handled = true;
      return 1;
    }
    case NM_DBLCLK:
      StopCountdown();
      if (reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0) Command(IDM_PROPERTIES);
      return 0;
    case LVN_KEYDOWN: {
      if (!IsCurrent()) return 0;
      StopCountdown();
      const WORD key = reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey;
      if (key == VK_RETURN) Command(IDM_PROPERTIES);
      if (key == VK_DELETE && !SelectedRows().empty()) Command(IDM_REMOVE_ENTRY);
      return 0;
    }
    default:
      return 0;
  }
}

void AccountListPage::OpenMenu(std::optional<size_t> row, POINT screen) {
  if (!menu_) return;
  const std::vector<size_t> selected = SelectedRows();
  const wizard::AccountMenu state = model_->MenuFor(row, SelectionMark(), !selected.empty());
  HMENU items = GetSubMenu(menu_, 0);
  const auto enable = [items](UINT id, bool on) {
    EnableMenuItem(items, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED));
  };
  enable(IDM_CREATE_ACCOUNT, true);
  enable(IDM_REMOVE_ENTRY, state.removeEnabled);
  enable(IDM_DELETE_ACCOUNT, state.deleteEnabled);
  enable(IDM_PROPERTIES, state.propertiesEnabled);
  CheckMenuItem(items, IDM_DELETE_ACCOUNT,
                MF_BYCOMMAND | (state.deleteChecked ? MF_CHECKED : MF_UNCHECKED));
  SetMenuDefaultItem(items, IDM_PROPERTIES, FALSE);
  deleteChecked_ = state.deleteChecked;
  const UINT command = static_cast<UINT>(
      TrackPopupMenu(items, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD | TPM_RIGHTBUTTON,
                     screen.x, screen.y, 0, window(), nullptr));
  if (command != 0) SendMessageW(window(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void AccountListPage::OpenMenuAtSelection() {
  HWND list = Control(IDC_ACCOUNTS_LIST);
  const std::vector<size_t> selected = SelectedRows();
  std::optional<size_t> row;
  RECT bounds{};
  GetClientRect(list, &bounds);
  bounds.bottom = bounds.top;
  if (!selected.empty()) {
    const std::optional<size_t> mark = SelectionMark();
    row = mark && std::find(selected.begin(), selected.end(), *mark) != selected.end()
              ? *mark
              : selected.front();
    bounds.left = LVIR_LABEL;
    SendMessageW(list, LVM_GETITEMRECT, *row, reinterpret_cast<LPARAM>(&bounds));
  }
  POINT at{bounds.left + GetSystemMetrics(SM_CXSMICON), bounds.bottom};
  ClientToScreen(list, &at);
  OpenMenu(row, at);
}

bool AccountListPage::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_LOAD_ACCOUNTS_BUTTON:
    case IDC_PROPERTIES_BUTTON:
    case IDC_REMOVE_ACCOUNT_BUTTON:
    case IDC_CREATE_ACCOUNT_BUTTON:
    case IDM_CREATE_ACCOUNT:
    case IDM_DELETE_ACCOUNT:
    case IDM_PROPERTIES:
    case IDM_REMOVE_ENTRY:
      StopCountdown();
      Command(id);
      return true;
    default:
      return false;
  }
}

void AccountListPage::Command(int id) {
  switch (id) {
    case IDC_CREATE_ACCOUNT_BUTTON:
    case IDM_CREATE_ACCOUNT:
      CreateAccount();
      return;
    case IDC_PROPERTIES_BUTTON:
    case IDM_PROPERTIES:
      EditProperties();
      return;
    case IDC_REMOVE_ACCOUNT_BUTTON:
    case IDM_REMOVE_ENTRY:
      RemoveSelected();
      return;
    case IDM_DELETE_ACCOUNT:
      ToggleDeleted();
      return;
    case IDC_LOAD_ACCOUNTS_BUTTON:
      LoadUsers();
      return;
    default:
      return;
  }
}

void AccountListPage::CreateAccount() {
  accounts::UserAccount* record = EditAccount(window(), session_, nullptr);
  if (record == nullptr) return;
  if (const std::optional<wizard::ExistingAccountMatch> match = model_->AfterCreate(*record)) {
    app::Translator& translator = session_.app.translator;
    const Text question = Format(translator.Translate(IDS_USE_EXISTING_ACCOUNT), {match->name});
    const int answer =
        MessageBoxW(window(), win32::Wide(question).c_str(),
                    win32::Wide(translator.Translate(IDS_NEW_ACCOUNT_CAPTION)).c_str(),
                    MB_YESNO | MB_ICONQUESTION);
    if (answer == IDYES) {
      wizard::AccountListModel::MergeExisting(*record, *match);
    } else {
      wizard::AccountListModel::KeepAsTyped(*record, *match);
    }
  }
  const size_t before = model_->rows().size();
  model_->AppendRow(*record);
  // A new primary account takes the place of the settings account's row.
  if (model_->rows().size() > before) model_->AfterEdit(before, false, Asker(false));
  ShowRows();
}

void AccountListPage::EditProperties() {
  const std::optional<size_t> mark = SelectionMark();
  if (!mark) return;
  accounts::UserAccount* record = model_->rows()[*mark].record;
  const bool wasPrimary = record->Primary != 0;
  if (EditAccount(window(), session_, record) == nullptr) return;
  model_->AfterEdit(*mark, wasPrimary, Asker(false));
  ShowRows();
}

void AccountListPage::RemoveSelected() {
  (void)model_->Remove(SelectedRows());
  ShowRows();
}

void AccountListPage::ToggleDeleted() {
  model_->ToggleDeleted(SelectedRows(), deleteChecked_, Asker(false));
  ShowRows();
}

void AccountListPage::LoadUsers() {
  if (!session_.countdown.ShellWindowsAllowed()) return;
  const std::optional<Text> chosen =
      AskForConfigurationFile(window(), session_.app.translator, IDS_LOAD_ACCOUNTS_TITLE);
  if (!chosen) return;
  const Text path =
      wizard::ConfigurationPath(*session_.app.platform.environment, *chosen, ProgramFolder());
  app::Translator& translator = session_.app.translator;
  const wizard::UsersLoadOutcome outcome =
      model_->LoadUsers(path, translator.Translate(IDS_SETTINGS_ACCOUNT_COMMENT));
  ShowRows();
  if (outcome == wizard::UsersLoadOutcome::kLoaded) return;
  const Text message = Format(translator.Translate(IDS_LOAD_ACCOUNTS_UNREADABLE), {TextView(path)});
  MessageBoxW(window(), win32::Wide(message).c_str(),
              win32::Wide(translator.Translate(IDS_LOAD_ACCOUNTS_TITLE)).c_str(),
              MB_OK | MB_ICONWARNING);
}

bool AccountListPage::ConfirmLockOut(const wizard::LockOutQuestion& question, bool timed) {
  const Text text = Format(session_.app.translator.Translate(question.text), {question.name});
  // A box nobody answers keeps the planned change.
  const int answer =
      TimedMessageBox(nullptr, text, u"Warning",
                      MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_TASKMODAL | MB_TOPMOST,
                      timed ? app::kUnattendedQuestionSeconds : 0, IDYES);
  return answer != IDNO;
}

wizard::ConfirmLockOut AccountListPage::Asker(bool timed) {
  return [this, timed](const wizard::LockOutQuestion& question) {
    return ConfirmLockOut(question, timed);
  };
}

void AccountListPage::StopCountdown() {
  ui::StopCountdown(session_, window());
}

void AccountListPage::OnTimer(UINT_PTR id) {
  switch (FirePageTimer(session_, window(), id, IsCurrent())) {
    case wizard::CountdownAction::kEndWizard:
      PressCancelForAutomaticEnd(window());
      return;
    case wizard::CountdownAction::kStartInstallation:
      automaticNext_ = true;
      PostMessageW(sheet(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
      return;
    case wizard::CountdownAction::kNothing:
      return;
  }
}

void AccountListPage::OnSize(int width, int height) {
  const RECT button = RectInParent(Control(IDC_CREATE_ACCOUNT_BUTTON));
  const wizard::AccountPageLayout layout = wizard::LayOutAccountPage(
      {width, height}, {button.right - button.left, button.bottom - button.top},
      WindowDpi(window()));
  const auto place = [this](int id, const wizard::Rect& r) {
    SetWindowPos(Control(id), nullptr, r.x, r.y, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
  };
  place(IDC_ACCOUNTS_LIST, layout.list);
  place(IDC_LOAD_ACCOUNTS_BUTTON, layout.load);
  place(IDC_PROPERTIES_BUTTON, layout.properties);
  place(IDC_REMOVE_ACCOUNT_BUTTON, layout.remove);
  place(IDC_CREATE_ACCOUNT_BUTTON, layout.create);
  HWND list = Control(IDC_ACCOUNTS_LIST);
  RECT client{};
  GetClientRect(list, &client);
  SendMessageW(list, LVM_SETCOLUMNWIDTH, 1, std::max<LONG>(0, client.right - kNameColumnWidth));
  InvalidateRect(window(), nullptr, TRUE);
}

INT_PTR AccountListPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) {
  handled = false;
  switch (message) {
    case WM_CONTEXTMENU:
      // Only the keyboard's request: a click has been answered by NM_RCLICK.
      if (reinterpret_cast<HWND>(wParam) != Control(IDC_ACCOUNTS_LIST) || lParam != -1) return 0;
      StopCountdown();
      OpenMenuAtSelection();
      handled = true;
      return TRUE;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
      StopCountdown();
      return 0;
    case WM_PARENTNOTIFY:
      if (IsButtonPress(wParam)) StopCountdown();
      return 0;
    default:
      return 0;
  }
}

void AccountListPage::OnDestroy() {
  KillPageTimers(window());
  HWND list = Control(IDC_ACCOUNTS_LIST);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, 0);
  SendMessageW(list, LVM_SETIMAGELIST, LVSIL_NORMAL, 0);
  ReleaseHandles();
  RemovePropW(window(), kAutoCancelProperty);
}

Text AccountListPage::ProgramFolder() const {
  return app::ProgramFolder(*session_.app.platform.system);
}

}  // namespace tarn::ui
