// The glue of the user interface under Wine: the program's own dialog
// templates, real windows and the translator over a languages.ini of the
// test's making.
#include <gtest/gtest.h>

#include <string>

#include "app/translator.h"
#include "base/paths.h"
#include "platform/file_system.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/translate_ui.h"

namespace tarn::ui {
namespace {

INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

std::wstring WindowText(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

// A scratch folder with a languages.ini, made the current directory (where
// the translator looks first) for the test's lifetime.
class TranslatedDialog : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::FileSystem& files = *system_.platform().files;
    previous_ = files.CurrentDirectory();
    folder_ = PathAppend(previous_, u"tarn-ui-test");
    (void)files.CreateDirectory(folder_);
    const std::string ini = "[de]\r\n203=Hilfe zu TARN\r\n1=&Einverstanden\r\n";
    ASSERT_EQ(files.WriteAll(PathAppend(folder_, u"languages.ini"),
                             std::vector<uint8_t>(ini.begin(), ini.end())),
              kErrorSuccess);
    ASSERT_EQ(files.SetCurrentDirectory(folder_), kErrorSuccess);
  }
  void TearDown() override {
    platform::FileSystem& files = *system_.platform().files;
    (void)files.SetCurrentDirectory(previous_);
    (void)files.DeleteFile(PathAppend(folder_, u"languages.ini"));
    (void)files.RemoveDirectory(folder_);
  }

  win32::Win32Platform system_;
  Text previous_;
  Text folder_;
};

TEST_F(TranslatedDialog, CaptionAndControlsTakeTheirTextsAndTheHelpStays) {
  app::Translator translator(system_.platform());
  translator.SelectLanguage(u"de");
  ASSERT_TRUE(translator.LanguageAvailable()) << "no German section in the scratch file";
  HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_HELP), nullptr,
                                   QuietDialog, 0);
  ASSERT_NE(dialog, nullptr) << "the help template is not in the test's resources";
  SetDlgItemTextW(dialog, IDC_HELP_EDIT, L"sentinel");

  TranslateDialog(dialog, IDD_HELP, translator);

  EXPECT_EQ(WindowText(dialog), L"Hilfe zu TARN");
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDOK)), L"&Einverstanden");
  EXPECT_EQ(WindowText(GetDlgItem(dialog, IDC_HELP_EDIT)), L"sentinel")
      << "a control without a text of its own keeps what the program put there";
  DestroyWindow(dialog);
}

}  // namespace
}  // namespace tarn::ui
