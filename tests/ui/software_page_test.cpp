// The software page inside a real property sheet under Wine: the help pane
// shows the entry of the row the keyboard moves to, however it moves.
#include <gtest/gtest.h>

#include <string>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "catalogue/software_catalogue.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/page_in_sheet.h"
#include "ui/software_page.h"
#include "wizard/countdown.h"

namespace tarn::ui {
namespace {

using testing::QuietFrame;

using testing::Pump;

std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

TEST(SoftwarePageInSheet, TheHelpFollowsEveryKeyThatMovesTheCurrentRow) {
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  win32::Win32Platform services;
  AppContext app(services.platform());
  accounts::AccountStore accounts;
  catalogue::SoftwareCatalogue catalogue;
  for (const char16_t* name : {u"One", u"Two", u"Three", u"Four", u"Five", u"Six"}) {
    catalogue::SoftwareEntry* entry = catalogue.AllocEntry();
    entry->Description = Text(name);
    entry->HelpText = u"Help of " + Text(name);
    entry->Command = u"cmd.exe /c exit 0";
  }
  wizard::Countdown countdown(wizard::CountdownSettings{});
  QuietFrame frame;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WizardSession session{app, accounts, catalogue, countdown, frame, instance};
  SoftwarePage page(session);
  const HWND sheet = testing::OpenPageInSheet(page, L"Software");
  ASSERT_NE(sheet, nullptr);
  Pump();
  ASSERT_NE(page.window(), nullptr) << "the page template is not in the test's resources";
  const HWND list = GetDlgItem(page.window(), IDC_SOFTWARE_LIST);
  const HWND help = GetDlgItem(page.window(), IDC_HELP_RICHEDIT);
  ASSERT_NE(help, nullptr) << "no rich edit control";
  SetFocus(list);
  struct Step {
    WPARAM key;
    const wchar_t* help;
  };
  for (const Step& step :
       {Step{VK_END, L"Help of Six"}, Step{VK_HOME, L"Help of One"}, Step{VK_NEXT, L"Help of Six"},
        Step{VK_PRIOR, L"Help of One"}, Step{'F', L"Help of Four"}}) {
    SendMessageW(list, WM_KEYDOWN, step.key, 1);
    if (step.key == 'F') SendMessageW(list, WM_CHAR, L'f', 1);
    Pump();
    EXPECT_NE(WindowText(help).find(step.help), std::wstring::npos)
        << "after key " << step.key
        << " the pane shows: " << std::string(WindowText(help).begin(), WindowText(help).end());
  }
  DestroyWindow(sheet);
}

}  // namespace
}  // namespace tarn::ui
