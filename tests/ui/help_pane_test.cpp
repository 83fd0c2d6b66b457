// The help pane on a real rich edit control under Wine: documents, the short
// help, a document that cannot be read, and long links.
#include "ui/help_pane.h"

#include <gtest/gtest.h>

#include <commdlg.h>
#include <ole2.h>

#include <string>

#include "platform/win32/win32_text.h"
#include "resource.h"

namespace tarn::ui {
namespace {

std::wstring PaneText(HWND control) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

std::wstring TempFile(const wchar_t* name, const std::string& content) {
  wchar_t folder[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, folder);
  const std::wstring path = std::wstring(folder) + name;
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  CloseHandle(file);
  return path;
}

class HelpPaneTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
    ASSERT_TRUE(LoadRichEdit());
    parent_ = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                              nullptr, nullptr, nullptr);
    control_ = CreateWindowExW(
        0, RICHEDIT_CLASSW, L"", WS_CHILD | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 0, 0, 380, 280,
        parent_, reinterpret_cast<HMENU>(IDC_HELP_RICHEDIT), nullptr, nullptr);
    ASSERT_NE(control_, nullptr);
    ASSERT_TRUE(pane_.Create(control_));
  }
  void TearDown() override {
    pane_.Destroy();
    DestroyWindow(parent_);
    OleUninitialize();
  }

  HWND parent_ = nullptr;
  HWND control_ = nullptr;
  HelpPane pane_;
};

TEST_F(HelpPaneTest, ShowsDocumentsAndShortHelpAndEmptiesOnAFailedLoad) {
  EXPECT_NE(GetWindowLongW(control_, GWL_STYLE) & WS_VISIBLE, 0);
  const std::wstring rtf =
      TempFile(L"tarn_help_pane.rtf", "{\\rtf1\\ansi Help from the \\b document\\b0 .\\par}");
  EXPECT_TRUE(pane_.ShowHelpFile(win32::FromWide(rtf.c_str())));
  std::wstring text = PaneText(control_);
  EXPECT_NE(text.find(L"Help from the document."), std::wstring::npos) << text.size();
  DeleteFileW(rtf.c_str());

  pane_.ShowHelpText(u"Tool %s", u"C:\\Tools\\{x} \u0416\u03c9\uff21");
  text = PaneText(control_);
  EXPECT_NE(text.find(L"Tool %s"), std::wstring::npos) << text.size();
  EXPECT_NE(text.find(L"C:\\Tools\\{x} \u0416\u03c9\uff21"), std::wstring::npos) << text.size();
  EXPECT_EQ(text.find(L"Help from"), std::wstring::npos);

  EXPECT_FALSE(pane_.ShowHelpFile(u"C:\\no such folder\\missing.rtf"));
  EXPECT_EQ(GetWindowTextLengthW(control_), 0);
}

TEST_F(HelpPaneTest, LinkTextReadsTheWholeRange) {
  const std::wstring url = L"http://example.com/" + std::wstring(320, L'a');
  pane_.ShowHelpText(u"Links", u"see " + win32::FromWide(url.c_str()) + u" now");
  FINDTEXTEXW find{{0, -1}, L"http://", {0, 0}};
  const auto start = static_cast<LONG>(
      SendMessageW(control_, EM_FINDTEXTEXW, FR_DOWN, reinterpret_cast<LPARAM>(&find)));
  ASSERT_GE(start, 0);
  ENLINK link{};
  link.msg = WM_LBUTTONDBLCLK;
  link.chrg.cpMin = start;
  link.chrg.cpMax = start + static_cast<LONG>(url.size());
  const Text shown = pane_.LinkText(link);
  EXPECT_EQ(shown.size(), url.size());
  EXPECT_TRUE(shown == win32::FromWide(url.c_str())) << ToUtf8(shown.substr(0, 40));
  link.chrg.cpMax = start;
  EXPECT_TRUE(pane_.LinkText(link).empty());
}

}  // namespace
}  // namespace tarn::ui
