// The account chooser and the changed-folders question under Wine, with the
// program's own templates, answered from a timer inside their message loops.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "catalogue/software_catalogue.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/account_chooser.h"
#include "ui/changed_folders_dialog.h"
#include "wizard/countdown.h"

// After <windows.h>, which it needs.
#include <commctrl.h>

namespace tarn::ui {
namespace {

class NoFrame final : public FrameControl {
 public:
  void StopCountdown() override {}
};

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(result) = window;
  return FALSE;
}

HWND OpenDialog() {
  HWND dialog = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindDialog, reinterpret_cast<LPARAM>(&dialog));
  return dialog;
}

std::wstring CellText(HWND list, int row, int column) {
  wchar_t text[300] = {};
  ListView_GetItemText(list, row, column, text, 300);
  return text;
}

// Presses Enter where the keyboard focus is, through the dialog's own loop.
void PressEnter(HWND dialog) {
  HWND focus = GetFocus();
  PostMessageW(focus != nullptr ? focus : dialog, WM_KEYDOWN, VK_RETURN, 0);
}

class AccountDialogs : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
  }
  win32::Win32Platform services_;
  AppContext app_{services_.platform()};
  accounts::AccountStore accounts_;
  catalogue::SoftwareCatalogue catalogue_;
  wizard::Countdown countdown_{wizard::CountdownSettings{}};
  NoFrame frame_;
};

// What the timer saw of the chooser.
struct ChooserSeen {
  int rows = -1;
  int ownRow = -1;
  bool chooseAtFirst = true;
  bool chooseOnSelection = false;
};
ChooserSeen chooserSeen;

Text CurrentUser() {
  wchar_t name[257] = {};
  DWORD size = 257;
  return GetUserNameW(name, &size) ? win32::FromWide(name) : Text();
}

// Selects the row of the current user as the keys would and presses Enter.
void SelectOwnRowAndEnter(HWND, UINT, UINT_PTR timer, DWORD) {
  try {
    const HWND dialog = OpenDialog();
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    const HWND list = GetDlgItem(dialog, IDC_LOCAL_ACCOUNTS_LIST);
    const HWND choose = GetDlgItem(dialog, IDC_CHOOSE_BUTTON);
    chooserSeen.rows = ListView_GetItemCount(list);
    chooserSeen.chooseAtFirst = IsWindowEnabled(choose) != FALSE;
    const std::wstring own = win32::Wide(CurrentUser());
    for (int row = 0; row < chooserSeen.rows; ++row) {
      if (_wcsicmp(CellText(list, row, 0).c_str(), own.c_str()) == 0) chooserSeen.ownRow = row;
    }
    if (chooserSeen.ownRow < 0) {
      PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return;
    }
    ListView_SetItemState(list, chooserSeen.ownRow, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
    chooserSeen.chooseOnSelection = IsWindowEnabled(choose) != FALSE;
    SetFocus(list);
    PressEnter(dialog);
  } catch (...) {
  }
}

TEST_F(AccountDialogs, ChooserListsTheLocalAccountsAndEnterTakesTheSelectedOne) {
  WizardSession session{app_, accounts_, catalogue_, countdown_, frame_, GetModuleHandleW(nullptr)};
  chooserSeen = {};
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, SelectOwnRowAndEnter);
  const std::optional<Text> chosen = ChooseLocalAccount(nullptr, session);
  KillTimer(nullptr, timer);

  EXPECT_GE(chooserSeen.rows, 1);
  EXPECT_FALSE(chooserSeen.chooseAtFirst) << "Choose waits for a selection";
  EXPECT_TRUE(chooserSeen.chooseOnSelection) << "a selection by keys enables Choose";
  ASSERT_GE(chooserSeen.ownRow, 0) << ToUtf8(CurrentUser()) << " is not listed";
  ASSERT_TRUE(chosen.has_value());
  EXPECT_TRUE(EqualsIgnoreCase(*chosen, CurrentUser())) << ToUtf8(*chosen);
}

// What the timer saw of the changed-folders question.
struct FoldersSeen {
  bool shown = false;
  bool grouped = false;
  int groups = 0;
  int rows = 0;
  std::wstring firstRow;
};
FoldersSeen foldersSeen;

void ReadRowsAndUse(HWND, UINT, UINT_PTR timer, DWORD) {
  try {
    const HWND dialog = OpenDialog();
    if (dialog == nullptr) return;
    KillTimer(nullptr, timer);
    const HWND list = GetDlgItem(dialog, IDC_CHANGED_FOLDERS_LIST);
    foldersSeen.shown = true;
    foldersSeen.grouped = ListView_IsGroupViewEnabled(list) != FALSE;
    foldersSeen.groups = foldersSeen.grouped ? ListView_GetGroupCount(list) : 0;
    foldersSeen.rows = ListView_GetItemCount(list);
    const int columns = foldersSeen.grouped ? 2 : 3;
    for (int column = 0; column < columns; ++column) {
      foldersSeen.firstRow += CellText(list, 0, column) + L"|";
    }
    PressEnter(dialog);
  } catch (...) {
  }
}

TEST_F(AccountDialogs, ChangedFoldersShowEachAccountAndEnterUsesThem) {
  accounts::UserAccount& anna = accounts_.list.AddBlank();
  anna.Name = u"tarn-anna";
  anna.ShellFolders[8] = u"D:\\%ThisUser%\\Desk";
  accounts::UserAccount& ben = accounts_.list.AddBlank();
  ben.Name = u"tarn-ben";
  ben.ShellFolders[3] = u"E:\\Docs";
  WizardSession session{app_, accounts_, catalogue_, countdown_, frame_, GetModuleHandleW(nullptr)};
  foldersSeen = {};
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, ReadRowsAndUse);
  const bool goOn = ConfirmChangedFolders(nullptr, session);
  KillTimer(nullptr, timer);

  ASSERT_TRUE(foldersSeen.shown);
  EXPECT_TRUE(goOn) << "Use lets the wizard go on";
  EXPECT_EQ(foldersSeen.rows, 2);
  const std::string firstRow = ToUtf8(win32::FromWide(foldersSeen.firstRow.c_str()));
  // The folder's name as the translation gives it, empty without languages.ini.
  const std::string personal = ToUtf8(app_.translator.Translate(IDS_SHELL_FOLDER_NAME_FIRST + 3));
  std::printf("group view: %s\n", foldersSeen.grouped ? "yes" : "no (account column)");
  if (foldersSeen.grouped) {
    EXPECT_EQ(foldersSeen.groups, 2);
    EXPECT_EQ(firstRow, personal + "|E:\\Docs|");
  } else {
    EXPECT_EQ(firstRow, "tarn-ben|" + personal + "|E:\\Docs|");
  }
}

TEST_F(AccountDialogs, NoQuestionWhileTheWizardGoesOnByItself) {
  accounts::UserAccount& anna = accounts_.list.AddBlank();
  anna.Name = u"tarn-anna";
  anna.ShellFolders[8] = u"D:\\Desk";
  wizard::CountdownSettings automatic;
  automatic.autoEnd = true;
  wizard::Countdown armed(automatic);
  WizardSession session{app_, accounts_, catalogue_, armed, frame_, GetModuleHandleW(nullptr)};
  foldersSeen = {};
  const UINT_PTR timer = SetTimer(nullptr, 0, 100, ReadRowsAndUse);
  EXPECT_TRUE(ConfirmChangedFolders(nullptr, session));
  KillTimer(nullptr, timer);
  EXPECT_FALSE(foldersSeen.shown);
}

}  // namespace
}  // namespace tarn::ui
