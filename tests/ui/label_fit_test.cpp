// Every text of every dialog and wizard page, in every language of the
// shipped languages.ini, measured with its control's font against the
// control it stands in. A translation that is longer than the English one
// is cut off by its control without any other sign; this is where it shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/app_context.h"
#include "base/format.h"
#include "base/text.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"
#include "resource.h"
#include "ui/property_page.h"
#include "ui/translate_ui.h"
#include "ui/wizard_frame.h"
#include "wizard/countdown.h"

#include <commctrl.h>

#ifndef TARN_LANGUAGES_FILE
#error "TARN_LANGUAGES_FILE must name the repository's languages.ini"
#endif

namespace tarn::ui {
namespace {

// Leaves every message to the dialog manager.
INT_PTR CALLBACK QuietDialog(HWND, UINT, WPARAM, LPARAM) {
  return FALSE;
}

// The repository's languages.ini as Wine sees it: its root is drive Z:.
std::wstring ShippedLanguagesFile() {
  std::wstring path = win32::Wide(FromUtf8(TARN_LANGUAGES_FILE));
  if (!path.empty() && path.front() == L'/') path = L"Z:" + path;
  std::replace(path.begin(), path.end(), L'/', L'\\');
  return path;
}

// The names of the sections of `file`, in file order.
std::vector<std::wstring> SectionNames(const std::wstring& file) {
  std::vector<wchar_t> buffer(4096);
  const DWORD length = GetPrivateProfileSectionNamesW(buffer.data(), 4096, file.c_str());
  std::vector<std::wstring> names;
  for (DWORD start = 0; start < length && buffer[start] != L'\0';) {
    names.emplace_back(&buffer[start]);
    start += static_cast<DWORD>(names.back().size()) + 1;
  }
  return names;
}

// The whole text of `window`, however long.
std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Adds each numbered dialog template to the vector at `found`.
BOOL CALLBACK CollectDialog(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) {
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<int>*>(found)->push_back(
        static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
  }
  return TRUE;
}

// Every dialog template the program carries, pages included.
std::vector<int> DialogTemplates() {
  std::vector<int> ids;
  EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(5) /* RT_DIALOG */, &CollectDialog,
                     reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

// Adds each child window to the vector at `found`.
BOOL CALLBACK CollectChild(HWND child, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(child);
  return TRUE;
}

// Every window inside `parent`, grandchildren included.
std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(parent, &CollectChild, reinterpret_cast<LPARAM>(&children));
  return children;
}

// Where a control draws its text, and how DrawText is to lay it out there.
struct TextRoom {
  SIZE size{};
  UINT format = 0;
};

// `pixels` at 96 DPI in the DPI of `control`'s screen.
int Scaled(HWND control, int pixels) {
  HDC dc = GetDC(control);
  const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
  ReleaseDC(control, dc);
  return MulDiv(pixels, dpi, 96);
}

// The room a control leaves its text, as the system's button and static
// controls draw it; nullopt for controls whose text is not drawn in a box of
// their own size (pictures, frames, links, owner-drawn buttons) or that cut
// it on purpose with an ellipsis.
std::optional<TextRoom> RoomOf(HWND control) {
  wchar_t className[32] = {};
  GetClassNameW(control, className, 32);
  const LONG style = static_cast<LONG>(GetWindowLongPtrW(control, GWL_STYLE));
  RECT client{};
  GetClientRect(control, &client);
  TextRoom room{{client.right, client.bottom}, DT_SINGLELINE};
  if (_wcsicmp(className, WC_BUTTONW) == 0) {
    if (style & BS_MULTILINE) room.format = DT_WORDBREAK;
    switch (style & BS_TYPEMASK) {
      case BS_PUSHBUTTON:
      case BS_DEFPUSHBUTTON:
        // The frame and the focus rectangle take a few pixels on each side.
        room.size.cx -= 2 * (GetSystemMetrics(SM_CXEDGE) + Scaled(control, 1));
        return room;
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE:
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON:
        // The glyph, the gap after it and the focus rectangle's pixel.
        room.size.cx -= GetSystemMetrics(SM_CXMENUCHECK) + Scaled(control, 4) + Scaled(control, 1);
        return room;
      case BS_GROUPBOX:
        room.size.cx -= 2 * Scaled(control, 8);
        return room;
      default:
        return std::nullopt;
    }
  }
  if (_wcsicmp(className, WC_STATICW) != 0 || (style & SS_ELLIPSISMASK) != 0) return std::nullopt;
  const UINT prefix = (style & SS_NOPREFIX) ? DT_NOPREFIX : 0;
  const UINT edit = (style & SS_EDITCONTROL) ? DT_EDITCONTROL : 0;
  switch (style & SS_TYPEMASK) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
      room.format = DT_WORDBREAK | DT_EXPANDTABS | prefix | edit;
      return room;
    case SS_LEFTNOWORDWRAP:
    case SS_SIMPLE:
      room.format = DT_SINGLELINE | DT_EXPANDTABS | prefix;
      return room;
    default:
      return std::nullopt;
  }
}

// The size `text` takes in `control`'s font when laid out as `room` says.
SIZE Measure(HWND control, const std::wstring& text, const TextRoom& room) {
  HDC dc = GetDC(control);
  auto font = reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0));
  HGDIOBJ previous = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  RECT box{0, 0, std::max<LONG>(room.size.cx, 1), 0};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, room.format | DT_CALCRECT);
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  return {box.right - box.left, box.bottom - box.top};
}

// Texts the program puts into a control after translating its dialog, with
// the argument their format takes in the widest plausible case.
struct LaterText {
  int dialog;
  int control;
  uint32_t number;
  unsigned argument;
};
constexpr LaterText kLaterTexts[] = {
    {IDD_FORMAT_DRIVE, IDC_FORMAT_BUTTON, IDS_FORMAT_START, 0},
    {IDD_FORMAT_DRIVE, IDC_FORMAT_BUTTON, IDS_USE_PATH, 0},
    {IDD_FORMAT_DRIVE, IDC_FORMAT_PROMPT_OUTPUT, IDS_FORMAT_PROMPT, u'W'},
    {IDD_FORMAT_DRIVE, IDC_FORMAT_COUNTDOWN_OUTPUT, IDS_DRIVE_COUNTDOWN, 30},
    {IDD_MISSING_VOLUME, IDC_MISSING_PROMPT_OUTPUT, IDS_MISSING_VOLUME_PROMPT, u'W'},
    {IDD_MISSING_VOLUME, IDC_MISSING_COUNTDOWN_OUTPUT, IDS_DRIVE_COUNTDOWN, 30},
};

// A page for the frame to hold; only the frame's buttons are measured.
class PlainPage : public PropertyPage {
 public:
  PlainPage() : PropertyPage(IDD_STATUS_PAGE) {}
};

// Runs over every language: a scratch folder holding a copy of the shipped
// languages.ini is the current directory, where the translator looks first.
class LabelFit : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_WIN95_CLASSES | ICC_LINK_CLASS};
    InitCommonControlsEx(&classes);
    wchar_t current[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, current);
    previous_ = current;
    folder_ = previous_ + L"\\tarn-label-fit";
    CreateDirectoryW(folder_.c_str(), nullptr);
    file_ = folder_ + L"\\languages.ini";
    ASSERT_TRUE(CopyFileW(ShippedLanguagesFile().c_str(), file_.c_str(), FALSE))
        << "no languages.ini at " << TARN_LANGUAGES_FILE;
    const std::string settings = "[settings]\r\n";
    HANDLE ini = CreateFileW((folder_ + L"\\install.ini").c_str(), GENERIC_WRITE, 0, nullptr,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(ini, settings.data(), static_cast<DWORD>(settings.size()), &written, nullptr);
    CloseHandle(ini);
    ASSERT_TRUE(SetCurrentDirectoryW(folder_.c_str()));
    locale_ = GetThreadLocale();
    host_ = CreateWindowExW(0, WC_STATICW, L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
  }
  void TearDown() override {
    DestroyWindow(host_);
    SetThreadLocale(locale_);
    SetCurrentDirectoryW(previous_.c_str());
    DeleteFileW(file_.c_str());
    DeleteFileW((folder_ + L"\\install.ini").c_str());
    RemoveDirectoryW(folder_.c_str());
  }

  // Fails the test for `control` when `text` does not fit it; true when the
  // control's text was measured at all.
  bool Check(const std::wstring& language, const std::wstring& dialog, HWND control,
             const std::wstring& text) {
    const std::optional<TextRoom> room = RoomOf(control);
    if (!room || text.empty()) return false;
    const SIZE needed = Measure(control, text, *room);
    if (needed.cx > room->size.cx || needed.cy > room->size.cy) {
      ADD_FAILURE() << ToUtf8(win32::FromWide(language.c_str())) << ", "
                    << ToUtf8(win32::FromWide(dialog.c_str())) << ", control "
                    << GetDlgCtrlID(control) << ": \"" << ToUtf8(win32::FromWide(text.c_str()))
                    << "\" needs " << needed.cx << " x " << needed.cy << " pixels, has "
                    << room->size.cx << " x " << room->size.cy;
    }
    return true;
  }

  // Every template made into a window and translated as the program does,
  // then the texts the program sets later; returns how many were measured.
  int CheckDialogs(const std::wstring& language, app::Translator& translator) {
    int measured = 0;
    for (const int id : DialogTemplates()) {
      HWND dialog = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), host_,
                                       &QuietDialog, 0);
      if (dialog == nullptr) {
        ADD_FAILURE() << "dialog " << id << " could not be made from its template";
        continue;
      }
      TranslateDialog(dialog, id, translator);
      const std::wstring name =
          L"dialog " + std::to_wstring(id) + L" \"" + WindowText(dialog) + L"\"";
      for (HWND control : Children(dialog)) {
        measured += Check(language, name, control, WindowText(control)) ? 1 : 0;
      }
      for (const LaterText& later : kLaterTexts) {
        if (later.dialog != id) continue;
        const Text text = Format(translator.Translate(later.number), {later.argument});
        measured +=
            Check(language, name, GetDlgItem(dialog, later.control), win32::Wide(text)) ? 1 : 0;
      }
      DestroyWindow(dialog);
    }
    return measured;
  }

  // The wizard's own buttons, which the system's sheet makes and the frame
  // labels.
  int CheckFrameButtons(const std::wstring& language) {
    win32::Win32Platform system;
    AppContext app(system.platform());
    app.config.IniPath = win32::FromWide((folder_ + L"\\install.ini").c_str());
    app.translator.SelectLanguage(win32::FromWide(language.c_str()));
    wizard::Countdown countdown{wizard::CountdownSettings{}};
    std::vector<std::unique_ptr<PropertyPage>> pages;
    pages.push_back(std::make_unique<PlainPage>());
    WizardFrame frame(app, countdown, GetModuleHandleW(nullptr));
    if (!frame.Open(pages)) {
      ADD_FAILURE() << "the system refused the wizard's sheet";
      return 0;
    }
    int measured = 0;
    for (const int id :
         {IDC_SHEET_BACK_BUTTON, IDC_SHEET_NEXT_BUTTON, IDC_SHEET_FINISH_BUTTON, IDCANCEL}) {
      HWND button = GetDlgItem(frame.window(), id);
      measured += Check(language, L"wizard frame", button, WindowText(button)) ? 1 : 0;
    }
    return measured;
  }

  std::wstring previous_;
  std::wstring folder_;
  std::wstring file_;
  LCID locale_ = 0;
  HWND host_ = nullptr;
};

TEST_F(LabelFit, EveryTextFitsItsControlInEveryLanguage) {
  const std::vector<std::wstring> languages = SectionNames(file_);
  ASSERT_GE(languages.size(), 2u) << "languages.ini has fewer than two sections";
  for (const std::wstring& language : languages) {
    win32::Win32Platform system;
    app::Translator translator(system.platform());
    translator.SelectLanguage(win32::FromWide(language.c_str()));
    // A section the system has no locale for would be measured in another
    // language without a word.
    wchar_t cancel[64] = {};
    GetPrivateProfileStringW(language.c_str(), L"2", L"", cancel, 64, file_.c_str());
    ASSERT_EQ(win32::Wide(translator.Translate(IDCANCEL)), std::wstring(cancel))
        << ToUtf8(win32::FromWide(language.c_str())) << " is not the language translated into";
    const int measured = CheckDialogs(language, translator) + CheckFrameButtons(language);
    // The templates hold about ninety texts; far fewer means the controls
    // were not found rather than that everything fits.
    EXPECT_GT(measured, 60) << ToUtf8(win32::FromWide(language.c_str()));
  }
}

}  // namespace
}  // namespace tarn::ui
