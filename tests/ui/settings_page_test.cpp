// The settings page inside a real property sheet under Wine: a computer
// name the page refuses turns Next off and shows the field's balloon.
#include <gtest/gtest.h>

#include <string>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "base/paths.h"
#include "catalogue/software_catalogue.h"
#include "platform/file_system.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/page_in_sheet.h"
#include "ui/settings_page.h"
#include "wizard/countdown.h"

namespace tarn::ui {
namespace {

using testing::Pump;

class CountingFrame final : public FrameControl {
 public:
  void StopCountdown() override { ++stops; }
  int stops = 0;
};

BOOL CALLBACK FindVisibleTooltip(HWND window, LPARAM found) {
  wchar_t name[32] = {};
  GetClassNameW(window, name, 32);
  if (std::wstring_view(name) == TOOLTIPS_CLASSW && IsWindowVisible(window)) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

bool BalloonVisible() {
  bool found = false;
  EnumThreadWindows(GetCurrentThreadId(), FindVisibleTooltip, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The balloon's texts come from a scratch languages.ini in the current
// directory: a tooltip without text shows nothing.
class SettingsPageInSheet : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FileSystem& files = *services_.platform().files;
    previous_ = files.CurrentDirectory();
    folder_ = PathAppend(previous_, u"tarn-settings-page-test");
    (void)files.CreateDirectory(folder_);
    const std::string ini = "[de]\r\n132=Nur Buchstaben und Ziffern\r\n133=Computername\r\n";
    ASSERT_EQ(files.WriteAll(PathAppend(folder_, u"languages.ini"),
                             std::vector<uint8_t>(ini.begin(), ini.end())),
              kErrorSuccess);
    ASSERT_EQ(files.SetCurrentDirectory(folder_), kErrorSuccess);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
  }
  void TearDown() override {
    platform::FileSystem& files = *services_.platform().files;
    (void)files.SetCurrentDirectory(previous_);
    (void)files.DeleteFile(PathAppend(folder_, u"languages.ini"));
    (void)files.RemoveDirectory(folder_);
  }

  win32::Win32Platform services_;
  Text previous_;
  Text folder_;
};

TEST_F(SettingsPageInSheet, BadComputerNameTurnsNextOffAndShowsItsBalloon) {
  AppContext app(services_.platform());
  app.translator.SelectLanguage(u"de");
  app.config.Computer = u"GOODNAME";
  app.config.Workgroup = u"WORKGROUP";
  accounts::AccountStore accounts;
  catalogue::SoftwareCatalogue catalogue;
  wizard::Countdown countdown(wizard::CountdownSettings{});
  CountingFrame frame;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WizardSession session{app, accounts, catalogue, countdown, frame, instance};
  SettingsPage page(session);
  const HWND sheet = testing::OpenPageInSheet(page, L"Settings");
  ASSERT_NE(sheet, nullptr);
  Pump();
  ASSERT_NE(page.window(), nullptr) << "the page template is not in the test's resources";
  HWND next = GetDlgItem(sheet, IDC_SHEET_NEXT_BUTTON);
  EXPECT_TRUE(IsWindowEnabled(next)) << "a valid page allows Next";
  EXPECT_FALSE(BalloonVisible());

  SetDlgItemTextW(page.window(), IDC_COMPUTER_EDIT, L"bad name");
  Pump();

  EXPECT_EQ(app.config.Computer.str(), u"bad name");
  EXPECT_FALSE(IsWindowEnabled(next));
  EXPECT_TRUE(BalloonVisible());
  DestroyWindow(sheet);
}

}  // namespace
}  // namespace tarn::ui
