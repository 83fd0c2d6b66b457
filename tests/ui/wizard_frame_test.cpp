// The wizard frame under Wine: a real sheet over two plain pages made from
// the help dialog's template, with a settings file of the test's making.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "base/paths.h"
#include "platform/file_system.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/wizard_frame.h"
#include "wizard/frame_settings.h"

namespace tarn::ui {
namespace {

class PlainPage : public PropertyPage {
 public:
  PlainPage() : PropertyPage(IDD_HELP) {}
};

wizard::Size OuterSize(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return {rect.right - rect.left, rect.bottom - rect.top};
}

wizard::Size WorkAreaSize() {
  RECT area{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  return {area.right - area.left, area.bottom - area.top};
}

class WizardFrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FileSystem& files = *system_.platform().files;
    ini_ = PathAppend(files.CurrentDirectory(), u"tarn-frame-test.ini");
    WriteSettings("");
    app_.config.IniPath = ini_;
    pages_.push_back(std::make_unique<PlainPage>());
    pages_.push_back(std::make_unique<PlainPage>());
  }
  void TearDown() override { (void)system_.platform().files->DeleteFile(ini_); }

  void WriteSettings(const std::string& lines) {
    const std::string text = "[settings]\r\n" + lines;
    ASSERT_EQ(
        system_.platform().files->WriteAll(ini_, std::vector<uint8_t>(text.begin(), text.end())),
        kErrorSuccess);
  }
  std::unique_ptr<WizardFrame> OpenFrame() {
    auto frame = std::make_unique<WizardFrame>(app_, countdown_, GetModuleHandleW(nullptr));
    EXPECT_TRUE(frame->Open(pages_)) << "the system refused the sheet";
    return frame;
  }

  win32::Win32Platform system_;
  AppContext app_{system_.platform()};
  wizard::Countdown countdown_{wizard::CountdownSettings{}};
  std::vector<std::unique_ptr<PropertyPage>> pages_;
  Text ini_;
};

TEST_F(WizardFrameTest, TheSheetBecomesAnOverlappedWindowWithAboutLastWithoutClose) {
  app_.config.NoCancel = true;
  const std::unique_ptr<WizardFrame> frame = OpenFrame();
  ASSERT_NE(frame->window(), nullptr);
  const LONG_PTR style = GetWindowLongPtrW(frame->window(), GWL_STYLE);
  EXPECT_EQ(style & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW) << std::hex << style;
  EXPECT_TRUE(IsWindowVisible(frame->window()));
  const HMENU menu = GetSystemMenu(frame->window(), FALSE);
  EXPECT_EQ(GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND), static_cast<UINT>(-1));
  const int count = GetMenuItemCount(menu);
  EXPECT_EQ(GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUT));
  EXPECT_EQ(GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR,
            static_cast<UINT>(MF_SEPARATOR));
}

TEST_F(WizardFrameTest, EscapeAltF4AndCancelAreRefusedOnlyWithNoCancel) {
  for (const bool noCancel : {true, false}) {
    app_.config.NoCancel = noCancel;
    const std::unique_ptr<WizardFrame> frame = OpenFrame();
    const HWND sheet = frame->window();
    ASSERT_NE(sheet, nullptr);
    const HWND page = reinterpret_cast<HWND>(SendMessageW(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
    PostMessageW(page, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(frame->ProcessWaitingMessages(), noCancel) << "Escape, NoCancel " << noCancel;
    if (!noCancel) {
      EXPECT_EQ(frame->outcome(), startup::WizardOutcome::kCancelled);
      continue;
    }
    SendMessageW(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    SendMessageW(sheet, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(frame->ProcessWaitingMessages()) << "Alt+F4 or Cancel closed the wizard";
    SendMessageW(sheet, PSM_PRESSBUTTON, PSBTN_FINISH, 0);
    EXPECT_FALSE(frame->ProcessWaitingMessages()) << "Finish did not end the wizard";
    EXPECT_EQ(frame->outcome(), startup::WizardOutcome::kFinished);
  }
}

TEST_F(WizardFrameTest, TheDisplayNeverTakesTheKeysAndAKeyRemovesIt) {
  wizard::CountdownSettings armed;
  armed.autoStart = true;
  armed.autoStartDelayMs = 10000;
  countdown_ = wizard::Countdown(armed);
  const std::unique_ptr<WizardFrame> frame = OpenFrame();
  ASSERT_NE(frame->window(), nullptr);
  const HWND display = FindWindowW(L"clsTarnOsd", nullptr);
  ASSERT_NE(display, nullptr) << "no display for an armed countdown";
  EXPECT_TRUE(GetWindowLongPtrW(display, GWL_EXSTYLE) & WS_EX_NOACTIVATE);
  EXPECT_EQ(GetActiveWindow(), frame->window());
  const HWND page =
      reinterpret_cast<HWND>(SendMessageW(frame->window(), PSM_GETCURRENTPAGEHWND, 0, 0));
  PostMessageW(page, WM_KEYDOWN, 'A', 0);
  EXPECT_TRUE(frame->ProcessWaitingMessages());
  EXPECT_FALSE(IsWindow(display));
  EXPECT_FALSE(countdown_.autoStartArmed()) << "the key did not stop the countdown";
}

TEST_F(WizardFrameTest, TheSizeIsClampedToTheWorkAreaAndTheSavedSizeReopensTheSame) {
  WriteSettings("dimension.width=5000\r\ndimension.height=5000\r\ndimension.update=1\r\n");
  const wizard::Size work = WorkAreaSize();
  wizard::Size closed;
  {
    const std::unique_ptr<WizardFrame> frame = OpenFrame();
    ASSERT_NE(frame->window(), nullptr);
    const wizard::Size opened = OuterSize(frame->window());
    EXPECT_EQ(opened.width, work.width);
    EXPECT_EQ(opened.height, work.height);
    SetWindowPos(frame->window(), nullptr, 0, 0, work.width - 40, work.height - 30,
                 SWP_NOMOVE | SWP_NOZORDER);
    const wizard::Size before = OuterSize(frame->window());
    SendMessageW(frame->window(), PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
    EXPECT_FALSE(frame->ProcessWaitingMessages());
    closed = frame->closingSize();
    EXPECT_EQ(closed.width, before.width);
    EXPECT_EQ(closed.height, before.height);
  }
  ASSERT_TRUE(wizard::SaveClosingSize(*system_.platform().profiles, ini_, closed));
  const std::unique_ptr<WizardFrame> reopened = OpenFrame();
  ASSERT_NE(reopened->window(), nullptr);
  const wizard::Size size = OuterSize(reopened->window());
  EXPECT_EQ(size.width, closed.width);
  EXPECT_EQ(size.height, closed.height);
}

// A page that moves the wizard on by itself posts PSM_PRESSBUTTON, as the
// automatic start does: the next page gets the frame's size, not its
// template's, and so does a page chosen with PSM_SETCURSEL.
TEST_F(WizardFrameTest, PagesReachedAutomaticallyFillTheFrame) {
  WriteSettings("dimension.width=90%\r\ndimension.height=90%\r\n");
  const std::unique_ptr<WizardFrame> frame = OpenFrame();
  ASSERT_NE(frame->window(), nullptr);
  const auto pageSize = [&] {
    RECT rect{};
    GetWindowRect(PropSheet_GetCurrentPageHwnd(frame->window()), &rect);
    return wizard::Size{rect.right - rect.left, rect.bottom - rect.top};
  };
  const wizard::Size first = pageSize();
  PostMessageW(frame->window(), PSM_PRESSBUTTON, PSBTN_NEXT, 0);
  EXPECT_TRUE(frame->ProcessWaitingMessages());
  ASSERT_EQ(PropSheet_GetCurrentPageHwnd(frame->window()), pages_[1]->window());
  EXPECT_EQ(pageSize().width, first.width);
  EXPECT_EQ(pageSize().height, first.height);
  SendMessageW(frame->window(), PSM_SETCURSEL, 0, 0);
  ASSERT_EQ(PropSheet_GetCurrentPageHwnd(frame->window()), pages_[0]->window());
  EXPECT_EQ(pageSize().height, first.height);
}

}  // namespace
}  // namespace tarn::ui
