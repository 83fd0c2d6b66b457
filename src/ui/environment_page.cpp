#include <iterator>

#include "app/app_context.h"
#include "platform/win32/win32_text.h"
#include "ui/account_sheet_pages.h"
#include "ui/guarded_dialog.h"
#include "ui/translate_ui.h"

namespace tarn::ui {

namespace {

// The variable dialog's parameter, kept as its window property.
constexpr wchar_t kKeyValueProperty[] = L"KeyValue";

struct VariableDialogState {
  wizard::VariableDraft& draft;
  app::Translator& translator;
};

constexpr int kNamePercent = 40;

void InitVariableDialog(HWND dialog, VariableDialogState& state) {
  SetPropW(dialog, kKeyValueProperty, &state);
  TranslateDialog(dialog, IDD_EDIT_VARIABLE, state.translator);
  HWND name = GetDlgItem(dialog, IDC_VARIABLE_NAME_EDIT);
  HWND value = GetDlgItem(dialog, IDC_VARIABLE_VALUE_EDIT);
  SendMessageW(name, EM_LIMITTEXT, decltype(state.draft.name)::kCapacity, 0);
  SendMessageW(value, EM_LIMITTEXT, decltype(state.draft.value)::kCapacity, 0);
  // Read before the first text goes in: each change writes into the draft.
  const Text nameText = state.draft.name.str();
  const Text valueText = state.draft.value.str();
  SetControlText(name, nameText);
  SetControlText(value, valueText);
  EnableWindow(GetDlgItem(dialog, IDOK), state.draft.okEnabled());
}

INT_PTR HandleVariableDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    InitVariableDialog(dialog, *reinterpret_cast<VariableDialogState*>(lParam));
    return TRUE;
  }
  auto* state = static_cast<VariableDialogState*>(GetPropW(dialog, kKeyValueProperty));
  if (state == nullptr) return FALSE;
  if (message == WM_DESTROY) {
    RemovePropW(dialog, kKeyValueProperty);
    return FALSE;
  }
  if (message != WM_COMMAND) return FALSE;
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (code == EN_CHANGE && id == IDC_VARIABLE_NAME_EDIT) {
    state->draft.name = ControlText(reinterpret_cast<HWND>(lParam));
    EnableWindow(GetDlgItem(dialog, IDOK), state->draft.okEnabled());
    return TRUE;
  }
  if (code == EN_CHANGE && id == IDC_VARIABLE_VALUE_EDIT) {
    state->draft.value = ControlText(reinterpret_cast<HWND>(lParam));
    return TRUE;
  }
  if (id == IDOK || id == IDCANCEL) {
    EndDialog(dialog, id);
    return TRUE;
  }
  return FALSE;
}

void InsertColumn(HWND list, int index, TextView title, int width) {
  std::wstring wide = win32::Wide(title);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH;
  column.pszText = wide.data();
  column.cx = width;
  ListView_InsertColumn(list, index, &column);
}

void SetCell(HWND list, int row, int column, TextView text) {
  std::wstring wide = win32::Wide(text);
  ListView_SetItemText(list, row, column, wide.data());
}

}  // namespace

bool EnvironmentPage::OnInitDialog() {
  SetPropW(window(), kUserDataProperty, &state_);
  TranslateDialog(window(), IDD_ENVIRONMENT, state_.session.app.translator);
  FillList();
  return true;
}

void EnvironmentPage::FillList() {
  HWND list = Control(IDC_VARIABLES_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  ListView_DeleteAllItems(list);
  while (ListView_DeleteColumn(list, 0)) {
  }
  RECT bounds{};
  GetClientRect(list, &bounds);
  const int width = bounds.right - bounds.left;
  const int nameWidth = width * kNamePercent / 100;
  app::Translator& translator = state_.session.app.translator;
  InsertColumn(list, 0, translator.Translate(IDS_VARIABLE_COLUMN), nameWidth);
  InsertColumn(list, 1, translator.Translate(IDS_VALUE_COLUMN), width - nameWidth);
  int row = 0;
  for (const accounts::UserVariable& variable : state_.editor.copy().Environment) {
    LVITEMW item{};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    item.lParam = row;
    const int at = ListView_InsertItem(list, &item);
    SetCell(list, at, 0, variable.name.view());
    SetCell(list, at, 1, variable.value.view());
    ++row;
  }
}

std::optional<size_t> EnvironmentPage::SelectedRow() const {
  const int mark = ListView_GetSelectionMark(Control(IDC_VARIABLES_LIST));
  if (mark < 0 || static_cast<size_t>(mark) >= state_.editor.copy().Environment.size()) {
    return std::nullopt;
  }
  return static_cast<size_t>(mark);
}

void EnvironmentPage::Edit(std::optional<size_t> row) {
  wizard::VariableDraft draft = state_.editor.BeginVariable(row);
  VariableDialogState dialogState{draft, state_.session.app.translator};
  const INT_PTR result = DialogBoxParamW(
      state_.session.instance, MAKEINTRESOURCEW(IDD_EDIT_VARIABLE), window(),
      &GuardedDialogProc<HandleVariableDialog>, reinterpret_cast<LPARAM>(&dialogState));
  if (result == IDOK && state_.editor.ApplyVariable(draft)) FillList();
}

LRESULT EnvironmentPage::OnNotify(NMHDR& header, bool& handled) {
  handled = false;
  if (header.idFrom != IDC_VARIABLES_LIST || header.code != NM_DBLCLK) return 0;
  if (const std::optional<size_t> row = SelectedRow()) Edit(row);
  handled = true;
  return 0;
}

bool EnvironmentPage::OnCommand(int id, int code, HWND) {
  if (code != BN_CLICKED) return false;
  switch (id) {
    case IDC_CHANGE_VARIABLE_BUTTON:
      if (const std::optional<size_t> row = SelectedRow()) Edit(row);
      return true;
    case IDC_ADD_VARIABLE_BUTTON:
      Edit(std::nullopt);
      return true;
    case IDC_REMOVE_VARIABLE_BUTTON:
      if (const std::optional<size_t> row = SelectedRow()) {
        state_.editor.RemoveVariableAt(*row);
        ListView_DeleteItem(Control(IDC_VARIABLES_LIST), static_cast<int>(*row));
      }
      return true;
    default:
      return false;
  }
}

INT_PTR EnvironmentPage::OnMessage(UINT message, WPARAM, LPARAM, bool& handled) {
  handled = message == kRefillPageMessage;
  if (handled) FillList();
  return 0;
}

}  // namespace tarn::ui
