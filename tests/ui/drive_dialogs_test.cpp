// The drive questions under Wine: asked from a worker thread while the
// owner's thread goes on pumping, they close by themselves when the
// countdown runs out, answer a click, and end a format that can't happen
// (no formatter under Wine) with the failure message.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <future>
#include <memory>
#include <string>
#include <vector>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "base/paths.h"
#include "catalogue/software_catalogue.h"
#include "platform/file_system.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/drive_prompter.h"
#include "wizard/countdown.h"

#include <commctrl.h>

namespace tarn::ui {
namespace {

using std::chrono::steady_clock;

class QuietFrame : public FrameControl {
 public:
  void StopCountdown() override {}
};

template <typename Done>
bool PumpUntil(Done done, double seconds) {
  const auto end = steady_clock::now() + std::chrono::milliseconds(int(seconds * 1000));
  while (!done()) {
    if (steady_clock::now() > end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  return true;
}

// A drive letter that names no volume on this machine.
char16_t MissingLetter() {
  const DWORD present = GetLogicalDrives();
  for (int letter = 'Q'; letter <= 'Z'; ++letter) {
    if ((present & (1u << (letter - 'A'))) == 0) return static_cast<char16_t>(letter);
  }
  return u'\0';
}

// TARN_UI_LANGUAGES names the shipped translation file, so that an
// end-to-end script can watch and photograph a dialog in the program's own
// words (in the language TARN_UI_LANGUAGE); without it the tests bring a
// few texts of their own.
const char* ShippedTexts() {
  return std::getenv("TARN_UI_LANGUAGES");
}
std::u16string ShippedLanguage() {
  const char* language = std::getenv("TARN_UI_LANGUAGE");
  return language == nullptr ? u"en" : std::u16string(language, language + std::strlen(language));
}

class DriveDialogTest : public ::testing::Test {
 protected:
  std::vector<uint8_t> LanguageFile() {
    if (const char* shipped = ShippedTexts()) {
      if (auto bytes = files.ReadAll(Text(shipped, shipped + std::strlen(shipped)))) {
        return *bytes;
      }
    }
    const std::string ini =
        "[en]\r\n119=Missing drive (test)\r\n117=Format drive (test)\r\n"
        "167=Drive %c: is missing.\r\n192=Closes in %d s.\r\n194=Drive %c: could not be "
        "formatted.\r\n3453=Format %c: now? Size %s, label %s.\r\n";
    return std::vector<uint8_t>(ini.begin(), ini.end());
  }
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&controls);
    previous = files.CurrentDirectory();
    (void)files.CreateDirectory(folder);
    ASSERT_EQ(files.WriteAll(PathAppend(folder, u"languages.ini"), LanguageFile()), kErrorSuccess);
    ASSERT_EQ(files.SetCurrentDirectory(folder), kErrorSuccess);
    app.translator.ChooseDisplayLanguage(ShippedTexts() ? Text(ShippedLanguage()) : Text(u"en"));
    owner = CreateWindowExW(WS_EX_TOPMOST, L"STATIC", L"TARN owner", WS_POPUP | WS_VISIBLE, 0, 0,
                            300, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(owner, nullptr);
    prompter = std::make_unique<DialogPrompter>(session, owner);
    letter = MissingLetter();
    ASSERT_NE(letter, u'\0');
  }
  void TearDown() override {
    DestroyWindow(owner);
    (void)files.SetCurrentDirectory(previous);
    (void)files.DeleteFile(PathAppend(folder, u"languages.ini"));
    (void)files.RemoveDirectory(folder);
  }

  // Asks on a worker thread as the installation does.
  std::future<app::VolumeReply> Ask(app::VolumeProblem problem, uint32_t seconds) {
    app::VolumeQuestion question{problem, Text(1, letter) + u":\\Users\\anna", seconds};
    // The installation's worker takes the wizard's language first, as a new
    // thread starts in the user's locale.
    return std::async(std::launch::async, [this, question] {
      app.translator.ApplyDisplayLanguage();
      return prompter->AskVolume(question);
    });
  }
  // The dialog once it is on screen: it is made on the worker's thread, and
  // FindWindow sees it before its initialisation has set its texts and style.
  HWND FindDialog(const wchar_t* caption) {
    HWND found = nullptr;
    PumpUntil(
        [&] {
          found = FindWindowW(L"#32770", caption);
          return found != nullptr && IsWindowVisible(found);
        },
        5);
    return found;
  }

  win32::Win32Platform system;
  platform::FileSystem& files = *system.platform().files;
  Text previous;
  const Text folder = PathAppend(files.CurrentDirectory(), u"tarn-drive-test");
  AppContext app{system.platform()};
  accounts::AccountStore store;
  catalogue::SoftwareCatalogue catalogue;
  wizard::Countdown countdown{wizard::CountdownSettings{}};
  QuietFrame frame;
  WizardSession session{app, store, catalogue, countdown, frame, GetModuleHandleW(nullptr)};
  HWND owner = nullptr;
  std::unique_ptr<DialogPrompter> prompter;
  char16_t letter = 0;
};

TEST_F(DriveDialogTest, MissingDriveQuestionCancelsItselfWhenTheCountdownRunsOut) {
  const auto start = steady_clock::now();
  auto reply = Ask(app::VolumeProblem::Missing, 2);
  const HWND dialog = FindDialog(L"Missing drive (test)");
  ASSERT_NE(dialog, nullptr) << "the dialog shows with its translated caption";
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), nullptr)
      << "owned across threads, the dialog would tie the wizard's input to the worker's";
  EXPECT_TRUE(GetWindowLongPtrW(dialog, GWL_EXSTYLE) & WS_EX_TOPMOST);
  wchar_t prompt[256] = {};
  GetDlgItemTextW(dialog, IDC_MISSING_PROMPT_OUTPUT, prompt, 256);
  EXPECT_NE(std::wstring(prompt).find(std::wstring(1, letter) + L":"), std::wstring::npos)
      << "prompt: " << ToUtf8(win32::FromWide(prompt));
  wchar_t line[64] = {};
  GetDlgItemTextW(dialog, IDC_MISSING_COUNTDOWN_OUTPUT, line, 64);
  EXPECT_EQ(std::wstring(line).substr(0, 9), L"Closes in");
  ASSERT_TRUE(PumpUntil(
      [&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 8));
  const double seconds = std::chrono::duration<double>(steady_clock::now() - start).count();
  EXPECT_EQ(reply.get().answer, app::VolumeAnswer::Cancel);
  EXPECT_GE(seconds, 1.5);
  EXPECT_FALSE(IsWindow(dialog));
}

// Unattended, the format question ends itself as the missing-drive question
// does: nobody is there to format anything.
TEST_F(DriveDialogTest, FormatQuestionCancelsItselfWhenTheCountdownRunsOut) {
  const uint32_t seconds = ShippedTexts() != nullptr ? 10 : 2;
  auto reply = Ask(app::VolumeProblem::Unformatted, seconds);
  const std::wstring caption = win32::Wide(app.translator.Translate(IDD_FORMAT_DRIVE));
  const HWND dialog = FindDialog(caption.c_str());
  ASSERT_NE(dialog, nullptr) << "no dialog captioned " << ToUtf8(win32::FromWide(caption.c_str()));
  ASSERT_TRUE(PumpUntil(
      [&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; },
      seconds + 6));
  EXPECT_EQ(reply.get().answer, app::VolumeAnswer::Cancel);
  EXPECT_FALSE(IsWindow(dialog));
}

TEST_F(DriveDialogTest, ClickStopsTheCountdownAndChooseMovesThePath) {
  auto reply = Ask(app::VolumeProblem::Missing, 2);
  const HWND dialog = FindDialog(L"Missing drive (test)");
  ASSERT_NE(dialog, nullptr);
  PostMessageW(dialog, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  PumpUntil([] { return false; }, 3);
  ASSERT_EQ(reply.wait_for(std::chrono::seconds(0)), std::future_status::timeout)
      << "a click ends the countdown";
  wchar_t first[64] = {};
  SendDlgItemMessageW(dialog, IDC_VOLUME_LIST, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(first));
  PostMessageW(GetDlgItem(dialog, IDC_DONT_ASK_AGAIN_CHECK), BM_CLICK, 0, 0);
  PostMessageW(GetDlgItem(dialog, IDC_CHOOSE_BUTTON), BM_CLICK, 0, 0);
  ASSERT_TRUE(PumpUntil(
      [&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5));
  const app::VolumeReply answer = reply.get();
  EXPECT_EQ(answer.answer, app::VolumeAnswer::Retry);
  EXPECT_EQ(win32::Wide(answer.path), std::wstring(1, first[0]) + L":\\Users\\anna");
  EXPECT_TRUE(answer.rememberDrive);
}

// The confirmation before a format: the box captioned like the dialog and
// owned by it.
HWND FindConfirmation(HWND dialog) {
  HWND found = nullptr;
  PumpUntil(
      [&] {
        found = nullptr;
        HWND candidate = nullptr;
        while ((candidate = FindWindowExW(nullptr, candidate, L"#32770", nullptr)) != nullptr) {
          // Visible: only then has the box its text.
          if (GetWindow(candidate, GW_OWNER) == dialog && IsWindowVisible(candidate)) {
            found = candidate;
          }
        }
        return found != nullptr;
      },
      5);
  return found;
}

TEST_F(DriveDialogTest, FormatAsksOnceMoreAndNoFormatsNothing) {
  auto reply = Ask(app::VolumeProblem::Unformatted, 0);
  const HWND dialog = FindDialog(L"Format drive (test)");
  ASSERT_NE(dialog, nullptr);
  EXPECT_NE(SendMessageW(dialog, DM_GETDEFID, 0, 0) & 0xFFFF,
            static_cast<LRESULT>(IDC_FORMAT_BUTTON))
      << "Enter must never format";
  PostMessageW(GetDlgItem(dialog, IDC_FORMAT_BUTTON), BM_CLICK, 0, 0);
  const HWND box = FindConfirmation(dialog);
  ASSERT_NE(box, nullptr) << "no second question before the format";
  wchar_t text[512] = {};
  GetDlgItemTextW(box, 0xFFFF, text, 512);
  EXPECT_NE(std::wstring(text).find(std::wstring(1, letter) + L":"), std::wstring::npos)
      << "the question names the drive: " << ToUtf8(win32::FromWide(text));
  PostMessageW(box, WM_KEYDOWN, VK_RETURN, 0);
  PostMessageW(box, WM_COMMAND, IDNO, 0);
  EXPECT_FALSE(PumpUntil([&] { return FindWindowW(L"#32770", L"Format Error") != nullptr; }, 2))
      << "No started a format";
  EXPECT_TRUE(IsWindowVisible(dialog)) << "No leaves the dialog open";
  PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(PumpUntil(
      [&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5));
  EXPECT_EQ(reply.get().answer, app::VolumeAnswer::Cancel);
}

TEST_F(DriveDialogTest, FormatWithoutAFormatterFailsAndEndsTheDialog) {
  auto reply = Ask(app::VolumeProblem::Unformatted, 0);
  const HWND dialog = FindDialog(L"Format drive (test)");
  ASSERT_NE(dialog, nullptr);
  PostMessageW(GetDlgItem(dialog, IDC_FORMAT_BUTTON), BM_CLICK, 0, 0);
  const HWND box = FindConfirmation(dialog);
  ASSERT_NE(box, nullptr) << "no second question before the format";
  PostMessageW(box, WM_COMMAND, IDYES, 0);
  const HWND failure = FindDialog(L"Format Error");
  ASSERT_NE(failure, nullptr) << "the failed format is reported";
  PostMessageW(failure, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(PumpUntil(
      [&] { return reply.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5));
  const app::VolumeReply answer = reply.get();
  EXPECT_EQ(answer.answer, app::VolumeAnswer::Retry) << "the drive is looked at again";
  EXPECT_EQ(answer.path, Text());
}

TEST_F(DriveDialogTest, AbandonEndsAnOpenQuestionThatWouldWaitForever) {
  auto reply = Ask(app::VolumeProblem::Missing, 0);
  ASSERT_NE(FindDialog(L"Missing drive (test)"), nullptr);
  prompter->Abandon();
  ASSERT_EQ(reply.wait_for(std::chrono::seconds(5)), std::future_status::ready)
      << "the owner's thread may wait for the asking thread without pumping";
  EXPECT_EQ(reply.get().answer, app::VolumeAnswer::Cancel);
  EXPECT_EQ(Ask(app::VolumeProblem::Missing, 0).get().answer, app::VolumeAnswer::Cancel)
      << "later questions are not shown";
}

}  // namespace
}  // namespace tarn::ui
