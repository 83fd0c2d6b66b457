// The account list page inside a real property sheet under Wine: its rows
// and images come from the account list, a selection made by the keyboard
// enables Properties and Remove, and Del removes the selected entry.
#include <gtest/gtest.h>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "catalogue/software_catalogue.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/account_list_page.h"
#include "ui/page_in_sheet.h"
#include "wizard/countdown.h"

namespace tarn::ui {
namespace {

using testing::QuietFrame;

using testing::Pump;

void Select(HWND list, int item) {
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
}

TEST(AccountListPageInSheet, RowsButtonsAndDel) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  win32::Win32Platform services;
  AppContext app(services.platform());
  accounts::AccountStore accounts;
  for (const char16_t* name : {u"tarn-test-anna", u"tarn-test-bert"}) {
    accounts::UserAccount& record = accounts.list.AddBlank();
    record.Name = name;
    record.OldName = name;
  }
  accounts.list.FindByName(u"tarn-test-bert")->Deleted = 1;
  catalogue::SoftwareCatalogue catalogue;
  wizard::Countdown countdown(wizard::CountdownSettings{});
  QuietFrame frame;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WizardSession session{app, accounts, catalogue, countdown, frame, instance};
  AccountListPage page(session);
  const HWND sheet = testing::OpenPageInSheet(page, L"Accounts");
  ASSERT_NE(sheet, nullptr);
  Pump();
  ASSERT_NE(page.window(), nullptr) << "the page template is not in the test's resources";
  HWND list = GetDlgItem(page.window(), IDC_ACCOUNTS_LIST);
  ASSERT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
  const auto images =
      reinterpret_cast<HIMAGELIST>(SendMessageW(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  EXPECT_EQ(ImageList_GetImageCount(images), 7) << "the account icons are not all loaded";
  LVITEMW item{};
  item.mask = LVIF_IMAGE;
  item.iItem = 0;
  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  EXPECT_EQ(item.iImage, wizard::kImageDeletedAccount) << "bert, marked for deletion, is first";
  HWND remove = GetDlgItem(page.window(), IDC_REMOVE_ACCOUNT_BUTTON);
  EXPECT_FALSE(IsWindowEnabled(remove));

  Select(list, 1);
  Pump();
  EXPECT_TRUE(IsWindowEnabled(remove)) << "a selection without a click enables Remove";
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page.window(), IDC_PROPERTIES_BUTTON)));

  SendMessageW(list, WM_KEYDOWN, VK_DELETE, 0);
  Pump();
  EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 1);
  EXPECT_EQ(accounts.list.count(), 1u);
  EXPECT_NE(accounts.list.FindByName(u"tarn-test-bert"), nullptr);
  EXPECT_FALSE(IsWindowEnabled(remove));
  DestroyWindow(sheet);
}

}  // namespace
}  // namespace tarn::ui
