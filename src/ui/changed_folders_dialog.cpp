#include "ui/changed_folders_dialog.h"

#include <string>

#include "app/app_context.h"
#include "platform/win32/win32_text.h"
#include "resource.h"
#include "startup/account_steps.h"
#include "ui/dialog_icons.h"
#include "ui/guarded_dialog.h"
#include "ui/translate_ui.h"
#include "wizard/changed_folders.h"
#include "wizard/countdown.h"

namespace tarn::ui {
namespace {

constexpr int kFolderColumnWidth = 100;
constexpr int kAccountColumnWidth = 80;

struct ChangedFoldersState {
  const wizard::ChangedFolders* found = nullptr;
  AppContext* app = nullptr;
  HINSTANCE instance = nullptr;
  UniqueImageList images;
};

void InsertColumn(HWND list, int index, const Text& heading, int width) {
  std::wstring text = win32::Wide(heading);
  LVCOLUMNW column{};
  column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  column.pszText = text.data();
  column.cx = width;
  column.iSubItem = index;
  (void)ListView_InsertColumn(list, index, &column);
}

// One group per account, headed by its name. False, with group view off
// again, where the list can't group (older common controls, some Wine).
bool MakeGroups(HWND list, const wizard::ChangedFolders& found) {
  if (ListView_EnableGroupView(list, TRUE) < 0) return false;
  for (size_t i = 0; i < found.size(); ++i) {
    std::wstring header = win32::Wide(found[i].name);
    LVGROUP group{};
    group.cbSize = sizeof(group);
    group.mask = LVGF_HEADER | LVGF_GROUPID;
    group.pszHeader = header.data();
    group.iGroupId = static_cast<int>(i);
    if (ListView_InsertGroup(list, -1, &group) < 0) {
      (void)ListView_RemoveAllGroups(list);
      (void)ListView_EnableGroupView(list, FALSE);
      return false;
    }
  }
  return ListView_IsGroupViewEnabled(list) != FALSE;
}

// The cells of one row from the left; the first carries the image.
void InsertRow(HWND list, int group, std::initializer_list<const Text*> cells) {
  auto cell = cells.begin();
  std::wstring first = win32::Wide(**cell);
  LVITEMW item{};
  item.mask = LVIF_TEXT | LVIF_IMAGE | (group >= 0 ? LVIF_GROUPID : 0u);
  item.iItem = ListView_GetItemCount(list);
  item.pszText = first.data();
  item.iImage = 0;
  item.iGroupId = group;
  const int at = ListView_InsertItem(list, &item);
  if (at < 0) return;
  int column = 1;
  for (++cell; cell != cells.end(); ++cell, ++column) {
    std::wstring text = win32::Wide(**cell);
    ListView_SetItemText(list, at, column, text.data());
  }
}

// Without groups every row names its account in a column of its own.
void FillList(HWND list, const wizard::ChangedFolders& found, app::Translator& translator) {
  const bool grouped = MakeGroups(list, found);
  const int rest = ClientWidth(list) - kFolderColumnWidth - GetSystemMetrics(SM_CXVSCROLL);
  int column = 0;
  if (!grouped) {
    InsertColumn(list, column++, translator.Translate(IDS_ACCOUNT_NAME_COLUMN),
                 kAccountColumnWidth);
  }
  InsertColumn(list, column++, translator.Translate(IDS_FOLDER_COLUMN), kFolderColumnWidth);
  InsertColumn(list, column, translator.Translate(IDS_PATH_COLUMN),
               grouped ? rest : rest - kAccountColumnWidth);
  for (size_t i = 0; i < found.size(); ++i) {
    for (const wizard::ChangedFolder& folder : found[i].folders) {
      if (grouped) {
        InsertRow(list, static_cast<int>(i), {&folder.name, &folder.path});
      } else {
        InsertRow(list, -1, {&found[i].name, &folder.name, &folder.path});
      }
    }
  }
}

void Initialise(HWND dialog, ChangedFoldersState& state) {
  TranslateDialog(dialog, IDD_CHANGED_FOLDERS, state.app->translator);
  SendDlgItemMessageW(dialog, IDC_WARNING_ICON, STM_SETICON,
                      reinterpret_cast<WPARAM>(LoadIconW(nullptr, IDI_EXCLAMATION)), 0);
  const HWND list = GetDlgItem(dialog, IDC_CHANGED_FOLDERS_LIST);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  state.images = MakeSmallIconList(state.instance, {IDI_CHANGED_FOLDER});
  // The list shares the images (LVS_SHAREIMAGELISTS): the state frees them.
  (void)ListView_SetImageList(list, state.images.get(), LVSIL_SMALL);
  FillList(list, *state.found, state.app->translator);
}

INT_PTR HandleMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      Initialise(dialog, *reinterpret_cast<ChangedFoldersState*>(lParam));
      SetFocus(GetDlgItem(dialog, IDC_USE_BUTTON));
      return FALSE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_USE_BUTTON:
          EndDialog(dialog, IDC_USE_BUTTON);
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

// Nobody is there to answer while the wizard is to go on by itself, and a
// configuration may switch the question off.
bool Unasked(const WizardSession& session) {
  return session.app.config.DontShowNonDefaultShellFolderWarning ||
         session.countdown.autoStartArmed() || session.countdown.autoEndArmed();
}

}  // namespace

bool ConfirmChangedFolders(HWND owner, WizardSession& session) {
  if (Unasked(session)) return true;
  const wizard::ChangedFolders found = wizard::FindChangedSystemFolders(
      startup::VariablesOf(session.app, session.accounts), session.accounts.list);
  if (found.empty()) return true;
  ChangedFoldersState state;
  state.found = &found;
  state.app = &session.app;
  state.instance = session.instance != nullptr ? session.instance : GetModuleHandleW(nullptr);
  const INT_PTR answer =
      DialogBoxParamW(state.instance, MAKEINTRESOURCEW(IDD_CHANGED_FOLDERS), owner,
                      StatefulDialogProc<HandleMessage>, reinterpret_cast<LPARAM>(&state));
  return answer == IDC_USE_BUTTON;
}

}  // namespace tarn::ui
