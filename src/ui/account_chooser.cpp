#include "ui/account_chooser.h"

#include <string>
#include <vector>

#include "app/app_context.h"
#include "platform/win32/win32_text.h"
#include "resource.h"
#include "ui/dialog_icons.h"
#include "ui/guarded_dialog.h"
#include "ui/translate_ui.h"
#include "wizard/local_accounts.h"

namespace tarn::ui {
namespace {

// Shares of the list's width of the name and description columns, in percent.
constexpr int kNameShare = 30;
constexpr int kDescriptionShare = 70;

struct ChooserState {
  WizardSession* session = nullptr;
  HINSTANCE instance = nullptr;
  std::vector<wizard::LocalAccountRow> rows;
  UniqueImageList images;
  std::optional<Text> chosen;
};

ChooserState& StateOf(HWND dialog) {
  return *DialogStateOf<ChooserState>(dialog);
}

void InsertColumn(HWND list, int index, const Text& heading, int width) {
  std::wstring text = win32::Wide(heading);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = text.data();
  column.cx = width;
  column.iSubItem = index;
  (void)ListView_InsertColumn(list, index, &column);
}

void InsertRow(HWND list, int index, const wizard::LocalAccountRow& row) {
  std::wstring name = win32::Wide(row.name);
  std::wstring comment = win32::Wide(row.comment);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
  item.iItem = index;
  item.pszText = name.data();
  item.iImage = row.image;
  item.lParam = index;
  const int at = ListView_InsertItem(list, &item);
  if (at >= 0) ListView_SetItemText(list, at, 1, comment.data());
}

void Initialise(HWND dialog, ChooserState& state) {
  AppContext& app = state.session->app;
  TranslateDialog(dialog, IDD_ACCOUNT_CHOOSER, app.translator);
  const HWND list = GetDlgItem(dialog, IDC_LOCAL_ACCOUNTS_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  const int width = ClientWidth(list);
  InsertColumn(list, 0, app.translator.Translate(IDS_ACCOUNT_NAME_COLUMN),
               width * kNameShare / 100);
  InsertColumn(list, 1, app.translator.Translate(IDS_ACCOUNT_DESCRIPTION_COLUMN),
               width * kDescriptionShare / 100);
  // The same drawings as the account list page's first four images.
  state.images =
      MakeSmallIconList(state.instance, {IDI_ACCOUNT_NEW, IDI_ACCOUNT_NEW_DISABLED,
                                         IDI_ACCOUNT_EXISTING, IDI_ACCOUNT_EXISTING_DISABLED});
  // The list shares the images (LVS_SHAREIMAGELISTS): the state frees them.
  (void)ListView_SetImageList(list, state.images.get(), LVSIL_SMALL);
  state.rows = wizard::ListLocalAccounts(*app.platform.accounts);
  for (size_t i = 0; i < state.rows.size(); ++i)
    InsertRow(list, static_cast<int>(i), state.rows[i]);
  EnableWindow(GetDlgItem(dialog, IDC_CHOOSE_BUTTON), FALSE);
}

// The row the user picked: the selected one, else the selection mark.
int PickedRow(HWND list) {
  const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  return selected >= 0 ? selected : ListView_GetSelectionMark(list);
}

// Takes the whole name from the rows, not from the control's text, so that
// no buffer cuts it.
void Choose(HWND dialog) {
  ChooserState& state = StateOf(dialog);
  const HWND list = GetDlgItem(dialog, IDC_LOCAL_ACCOUNTS_LIST);
  const int row = PickedRow(list);
  if (row < 0) return;
  LVITEMW item{};
  item.mask = LVIF_PARAM;
  item.iItem = row;
  if (!ListView_GetItem(list, &item)) return;
  const auto index = static_cast<size_t>(item.lParam);
  if (index >= state.rows.size()) return;
  state.chosen = state.rows[index].name;
  EndDialog(dialog, IDC_CHOOSE_BUTTON);
}

// Choose follows the selection, however it was made: click, keys or code.
void OnListNotify(HWND dialog, const NMHDR& header) {
  if (header.code == static_cast<UINT>(LVN_ITEMCHANGED)) {
    const bool any = ListView_GetNextItem(header.hwndFrom, -1, LVNI_SELECTED) >= 0;
    EnableWindow(GetDlgItem(dialog, IDC_CHOOSE_BUTTON), any ? TRUE : FALSE);
  } else if (header.code == static_cast<UINT>(NM_DBLCLK)) {
    if (reinterpret_cast<const NMITEMACTIVATE&>(header).iItem >= 0) Choose(dialog);
  }
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(dialog, *reinterpret_cast<ChooserState*>(lParam));
      SetFocus(GetDlgItem(dialog, IDC_LOCAL_ACCOUNTS_LIST));
      return FALSE;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.idFrom == IDC_LOCAL_ACCOUNTS_LIST) OnListNotify(dialog, header);
      return FALSE;
    }
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_CHOOSE_BUTTON:
        case IDOK:  // Enter while no default button is enabled
          if (IsWindowEnabled(GetDlgItem(dialog, IDC_CHOOSE_BUTTON))) Choose(dialog);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

}  // namespace

std::optional<Text> ChooseLocalAccount(HWND owner, WizardSession& session) {
  ChooserState state;
  state.session = &session;
  state.instance = session.instance != nullptr ? session.instance : GetModuleHandleW(nullptr);
  const INT_PTR answer =
      DialogBoxParamW(state.instance, MAKEINTRESOURCEW(IDD_ACCOUNT_CHOOSER), owner,
                      StatefulDialogProc<HandleMessage>, reinterpret_cast<LPARAM>(&state));
  if (answer != IDC_CHOOSE_BUTTON) return std::nullopt;
  return state.chosen;
}

}  // namespace tarn::ui
