// The account sheet under Wine, driven from a timer while it runs modally:
// typing a name and pressing OK adds the record; Cancel leaves the list as
// it was, the Primary box included.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "base/paths.h"
#include "catalogue/software_catalogue.h"
#include "platform/file_system.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_windows.h"

#include <commctrl.h>
#include <prsht.h>

#include "resource.h"
#include "ui/account_sheet.h"
#include "wizard/countdown.h"

namespace tarn::ui {
namespace {

class IdleFrame final : public FrameControl {
 public:
  void StopCountdown() override {}
};

// What the timer does to the open sheet; set by each test.
std::function<void(HWND sheet)> g_script;
int g_ticks = 0;

BOOL CALLBACK FindSheet(HWND window, LPARAM found) {
  if (IsWindowVisible(window) && PropSheet_GetCurrentPageHwnd(window) != nullptr) {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND sheet = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindSheet, reinterpret_cast<LPARAM>(&sheet));
  // Give up rather than hang when the sheet never appears.
  if (sheet == nullptr && ++g_ticks < 100) return;
  KillTimer(nullptr, timer);
  if (sheet != nullptr && g_script) g_script(sheet);
}

HWND Page(HWND sheet, int index) {
  return PropSheet_IndexToHwnd(sheet, index);
}

std::wstring TextOf(HWND control) {
  wchar_t text[128] = {};
  GetWindowTextW(control, text, 128);
  return text;
}

class AccountSheetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FileSystem& files = *services_.platform().files;
    previous_ = files.CurrentDirectory();
    folder_ = PathAppend(previous_, u"tarn-account-sheet-test");
    (void)files.CreateDirectory(folder_);
    const std::string ini = "[de]\r\n1200=Benutzername\r\n171=Neues Benutzerkonto\r\n";
    ASSERT_EQ(files.WriteAll(PathAppend(folder_, u"languages.ini"),
                             std::vector<uint8_t>(ini.begin(), ini.end())),
              kErrorSuccess);
    ASSERT_EQ(files.SetCurrentDirectory(folder_), kErrorSuccess);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    g_ticks = 0;
  }
  void TearDown() override {
    g_script = nullptr;
    platform::FileSystem& files = *services_.platform().files;
    (void)files.SetCurrentDirectory(previous_);
    (void)files.DeleteFile(PathAppend(folder_, u"languages.ini"));
    (void)files.RemoveDirectory(folder_);
  }
  accounts::UserAccount* Edit(AppContext& app, accounts::AccountStore& store,
                              accounts::UserAccount* record) {
    catalogue::SoftwareCatalogue catalogue;
    wizard::Countdown countdown(wizard::CountdownSettings{});
    IdleFrame frame;
    WizardSession session{app, store, catalogue, countdown, frame, GetModuleHandleW(nullptr)};
    SetTimer(nullptr, 0, 50, &Tick);
    return EditAccount(nullptr, session, record);
  }

  win32::Win32Platform services_;
  Text previous_;
  Text folder_;
};

TEST_F(AccountSheetTest, TypedNameAndOkAddTheRecord) {
  AppContext app(services_.platform());
  app.translator.SelectLanguage(u"de");
  accounts::AccountStore store;
  std::wstring label;
  int pages = 0;
  bool okBeforeName = true;
  bool okAfterName = false;
  g_script = [&](HWND sheet) {
    HWND page = Page(sheet, 0);
    label = TextOf(GetDlgItem(page, IDC_USER_NAME_LABEL));
    // Every page renders when it is shown.
    for (int index = 1; index <= 2; ++index) PropSheet_SetCurSel(sheet, nullptr, index);
    for (int index = 0; index <= 2; ++index) pages += Page(sheet, index) != nullptr ? 1 : 0;
    okBeforeName = IsWindowEnabled(GetDlgItem(sheet, IDOK)) != FALSE;
    SetDlgItemTextW(page, IDC_NAME_EDIT, L"carl");
    okAfterName = IsWindowEnabled(GetDlgItem(sheet, IDOK)) != FALSE;
    SendDlgItemMessageW(page, IDC_ACCOUNT_ADMIN_CHECK, BM_CLICK, 0, 0);
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  };
  accounts::UserAccount* result = Edit(app, store, nullptr);
  ASSERT_NE(result, nullptr) << "the sheet did not close with OK";
  EXPECT_EQ(label, L"Benutzername") << "the page is not translated";
  EXPECT_EQ(pages, 3);
  EXPECT_FALSE(okBeforeName) << "OK without a name";
  EXPECT_TRUE(okAfterName);
  ASSERT_EQ(store.list.count(), 1u);
  EXPECT_EQ(result, store.list.AccountAt(0));
  EXPECT_EQ(ToUtf8(result->Name.str()), "carl");
  EXPECT_EQ(ToUtf8(result->OldName.str()), "carl");
  EXPECT_EQ(result->Group, accounts::kGroupAdministrators) << "the rights box is the group";
}

TEST_F(AccountSheetTest, CancelLeavesTheListUnchanged) {
  AppContext app(services_.platform());
  app.config.SecondaryLogonRunning = true;
  accounts::AccountStore store;
  accounts::UserAccount& anna = store.list.AddBlank();
  anna.Name = u"anna";
  anna.OldName = u"anna";
  bool primaryChecked = false;
  g_script = [&](HWND sheet) {
    HWND page = Page(sheet, 0);
    SetDlgItemTextW(page, IDC_NAME_EDIT, L"bob");
    SendMessageW(GetDlgItem(page, IDC_PRIMARY_CHECK), BM_CLICK, 0, 0);
    primaryChecked = IsDlgButtonChecked(page, IDC_PRIMARY_CHECK) == BST_CHECKED;
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
  };
  EXPECT_EQ(Edit(app, store, &anna), nullptr);
  EXPECT_TRUE(primaryChecked);
  ASSERT_EQ(store.list.count(), 1u);
  EXPECT_EQ(ToUtf8(anna.Name.str()), "anna");
  EXPECT_EQ(anna.Primary, 0);
}

TEST_F(AccountSheetTest, DeletedAccountShowsOnlyTheNotice) {
  AppContext app(services_.platform());
  accounts::AccountStore store;
  accounts::UserAccount& gone = store.list.AddBlank();
  gone.Name = u"gone";
  gone.Deleted = 1;
  bool onePage = false;
  g_script = [&](HWND sheet) {
    onePage = Page(sheet, 0) != nullptr && Page(sheet, 1) == nullptr &&
              GetDlgItem(Page(sheet, 0), IDC_DELETED_NOTICE_LABEL) != nullptr;
    PostMessageW(sheet, PSM_PRESSBUTTON, PSBTN_OK, 0);
  };
  EXPECT_EQ(Edit(app, store, &gone), &gone);
  EXPECT_TRUE(onePage);
  EXPECT_EQ(ToUtf8(gone.Name.str()), "gone");
}

}  // namespace
}  // namespace tarn::ui
