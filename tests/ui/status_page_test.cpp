// The status page in a real wizard under Wine: the run starts real quick
// commands on its worker thread, and the page shows a row per log line,
// takes the progress bar to its end and offers Finish.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "base/paths.h"
#include "catalogue/software_catalogue.h"
#include "platform/file_system.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/status_page.h"
#include "wizard/countdown.h"

#include <commctrl.h>

namespace tarn::ui {
namespace {

// The wizard's Finish button (comctl32's own identifier).
constexpr int kFinishButton = 0x3025;

class QuietFrame : public FrameControl {
 public:
  void StopCountdown() override { ++stops; }
  int stops = 0;
};

// Pumps the thread's messages until `done` holds or `seconds` have passed.
template <typename Done>
bool PumpUntil(Done done, int seconds) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

std::wstring ItemText(HWND list, int index) {
  wchar_t text[256] = {};
  ListView_GetItemText(list, index, 0, text, 256);
  return text;
}

TEST(StatusPageSheet, QuickCommandsBecomeRowsAndFinishIsOffered) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  win32::Win32Platform system;
  platform::FileSystem& files = *system.platform().files;
  const Text previous = files.CurrentDirectory();
  const Text folder = PathAppend(previous, u"tarn-status-test");
  (void)files.CreateDirectory(folder);
  const std::string ini =
      "[en]\r\n160=\"%s\" completed successfully.\r\n143=Installation finished.\r\n";
  ASSERT_EQ(files.WriteAll(PathAppend(folder, u"languages.ini"),
                           std::vector<uint8_t>(ini.begin(), ini.end())),
            kErrorSuccess);
  ASSERT_EQ(files.SetCurrentDirectory(folder), kErrorSuccess);

  AppContext app(system.platform());
  app.translator.SelectLanguage(u"en");
  app.config.SkipSettings = true;  // the machine's own settings stay as they are
  accounts::AccountStore store;
  catalogue::SoftwareCatalogue catalogue;
  for (const char16_t* name : {u"One", u"Two", u"Three"}) {
    catalogue::SoftwareEntry* entry = catalogue.AllocEntry();
    entry->State = catalogue::kStateSelected;
    entry->Description = Text(name);
    entry->Command = Text(u"cmd.exe /c exit 0");
  }
  wizard::Countdown countdown(wizard::CountdownSettings{});
  QuietFrame frame;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WizardSession session{app, store, catalogue, countdown, frame, instance};
  {
    StatusPage page(session);
    PROPSHEETPAGEW record = page.Describe(instance, L"Status", L"Installation", L"");
    HPROPSHEETPAGE handle = CreatePropertySheetPageW(&record);
    ASSERT_NE(handle, nullptr);
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_WIZARD | PSH_MODELESS;
    header.hInstance = instance;
    header.pszCaption = L"TARN";
    header.nPages = 1;
    header.phpage = &handle;
    const auto sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    ASSERT_NE(sheet, nullptr);
    const HWND pageWindow = page.window();
    ASSERT_NE(pageWindow, nullptr);
    const HWND list = GetDlgItem(pageWindow, IDC_STATUS_LIST);
    const HWND progress = GetDlgItem(pageWindow, IDC_RUN_PROGRESS);
    const HWND finish = GetDlgItem(sheet, kFinishButton);

    const bool finished =
        PumpUntil([&] { return ListView_GetItemCount(list) >= 4 && IsWindowEnabled(finish); }, 30);

    EXPECT_TRUE(finished) << "rows " << ListView_GetItemCount(list);
    ASSERT_EQ(ListView_GetItemCount(list), 4);
    EXPECT_EQ(ItemText(list, 0), L"\"One\" completed successfully.");
    EXPECT_EQ(ItemText(list, 3), L"Installation finished.");
    EXPECT_EQ(SendMessageW(progress, PBM_GETPOS, 0, 0), 2) << "positions 0, 1, 2 of three";
    EXPECT_EQ(SendMessageW(progress, PBM_GETRANGE, FALSE, 0), 2);
    EXPECT_FALSE(IsWindowVisible(progress)) << "the bar is hidden at the end";
    EXPECT_EQ(frame.stops, 1) << "the countdown stops when the run starts";
    DestroyWindow(sheet);
  }
  (void)files.SetCurrentDirectory(previous);
  (void)files.DeleteFile(PathAppend(folder, u"languages.ini"));
  (void)files.RemoveDirectory(folder);
}

}  // namespace
}  // namespace tarn::ui
