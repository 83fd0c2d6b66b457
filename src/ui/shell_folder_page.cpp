#include <shlobj.h>

#include "app/app_context.h"
#include "base/shell_folder_names.h"
#include "platform/win32/win32_system_library.h"
#include "platform/win32/win32_text.h"
#include "ui/account_sheet_pages.h"
#include "ui/translate_ui.h"
#include "wizard/countdown.h"

namespace tarn::ui {

namespace {

using BrowseFunction = PIDLIST_ABSOLUTE(WINAPI*)(LPBROWSEINFOW);
using PathFunction = BOOL(WINAPI*)(PCIDLIST_ABSOLUTE, LPWSTR);

// Asks for a folder with the shell's folder dialog. The shell is loaded only
// here, so that it stays out of the program's start. Empty when cancelled.
Text BrowseForFolder(HWND owner, TextView title) {
  HMODULE shell = win32::LoadSystemLibrary(L"shell32.dll");
  if (shell == nullptr) return {};
  const auto browse = reinterpret_cast<BrowseFunction>(
      reinterpret_cast<void*>(GetProcAddress(shell, "SHBrowseForFolderW")));
  const auto pathOf = reinterpret_cast<PathFunction>(
      reinterpret_cast<void*>(GetProcAddress(shell, "SHGetPathFromIDListW")));
  Text chosen;
  if (browse != nullptr && pathOf != nullptr) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const std::wstring wideTitle = win32::Wide(title);
    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags =
        BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_RETURNFSANCESTORS | BIF_NEWDIALOGSTYLE;
    PIDLIST_ABSOLUTE item = browse(&info);
    if (item != nullptr) {
      wchar_t path[MAX_PATH] = {};
      if (pathOf(item, path)) chosen = win32::FromWide(path);
      CoTaskMemFree(item);
    }
    if (SUCCEEDED(com)) CoUninitialize();
  }
  FreeLibrary(shell);
  return chosen;
}

}  // namespace

bool ShellFolderPage::OnInitDialog() {
  SetPropW(window(), kUserDataProperty, &state_);
  SendMessageW(Control(IDC_DESTINATION_EDIT), EM_LIMITTEXT, accounts::kPathCapacity, 0);
  TranslateDialog(window(), IDD_SHELL_FOLDERS, state_.session.app.translator);
  (void)balloon_.Create(window());
  Fill();
  return true;
}

void ShellFolderPage::Fill() {
  app::Translator& translator = state_.session.app.translator;
  HWND combo = Control(IDC_SHELL_FOLDER_COMBO);
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  filling_ = true;
  SetControlText(Control(IDC_DESTINATION_EDIT), u"");
  filling_ = false;
  SetControlText(Control(IDC_FOLDER_INFO_OUTPUT), u"");
  EnableWindow(Control(IDC_DESTINATION_EDIT), FALSE);
  EnableWindow(Control(IDC_BROWSE_FOLDER_BUTTON), FALSE);
  for (const wizard::FolderItem& item : state_.editor.FolderItems()) {
    Text name = translator.Translate(item.nameText);
    if (name.empty()) name = Text(ShellFolderNames()[item.index]);
    const std::wstring wide = win32::Wide(name);
    const LRESULT at = SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    if (at >= 0) SendMessageW(combo, CB_SETITEMDATA, static_cast<WPARAM>(at), item.index);
  }
}

std::optional<size_t> ShellFolderPage::ChosenFolder() const {
  HWND combo = Control(IDC_SHELL_FOLDER_COMBO);
  const LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  if (at == CB_ERR) return std::nullopt;
  return static_cast<size_t>(SendMessageW(combo, CB_GETITEMDATA, static_cast<WPARAM>(at), 0));
}

void ShellFolderPage::FolderChosen() {
  const std::optional<size_t> index = ChosenFolder();
  if (!index) return;
  const wizard::FolderChoice choice = state_.editor.ChooseFolder(*index);
  filling_ = true;
  SetControlText(Control(IDC_DESTINATION_EDIT), choice.path);
  filling_ = false;
  EnableWindow(Control(IDC_DESTINATION_EDIT), choice.editable);
  EnableWindow(Control(IDC_BROWSE_FOLDER_BUTTON),
               choice.editable && state_.session.countdown.ShellWindowsAllowed());
  SetControlText(Control(IDC_FOLDER_INFO_OUTPUT),
                 state_.session.app.translator.Translate(
                     static_cast<uint32_t>(IDS_SHELL_FOLDER_INFO_FIRST + *index)));
  balloon_.Hide();
}

void ShellFolderPage::PathChanged() {
  const std::optional<size_t> index = ChosenFolder();
  if (filling_ || !index) return;
  const Text text = ControlText(Control(IDC_DESTINATION_EDIT));
  const wizard::FolderChange change = state_.editor.SetFolderPath(*index, text);
  app::Translator& translator = state_.session.app.translator;
  SetControlText(Control(IDC_FOLDER_INFO_OUTPUT), translator.Translate(change.infoText));
  ShowAccountBalloon(balloon_, window(), translator, change.balloon);
}

void ShellFolderPage::Browse() {
  if (!state_.session.countdown.ShellWindowsAllowed()) return;
  const Text title = state_.session.app.translator.Translate(IDS_BROWSE_FOLDER_TITLE);
  const Text chosen = BrowseForFolder(window(), title);
  // Putting the path into the field runs the same rules as typing it.
  if (!chosen.empty()) SetControlText(Control(IDC_DESTINATION_EDIT), chosen);
}

bool ShellFolderPage::OnKillActive() {
  balloon_.Hide();
  return false;
}

bool ShellFolderPage::OnCommand(int id, int code, HWND) {
  if (id == IDC_SHELL_FOLDER_COMBO && code == CBN_SELCHANGE) {
    FolderChosen();
    return true;
  }
  if (id == IDC_DESTINATION_EDIT && code == EN_CHANGE) {
    PathChanged();
    return true;
  }
  if (id == IDC_BROWSE_FOLDER_BUTTON && code == BN_CLICKED) {
    Browse();
    return true;
  }
  return false;
}

INT_PTR ShellFolderPage::OnMessage(UINT message, WPARAM, LPARAM, bool& handled) {
  handled = message == kRefillPageMessage;
  if (handled) Fill();
  return 0;
}

}  // namespace tarn::ui
