// The software list under Wine: a real report list control driven with the
// mouse and key messages a user would cause.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/catalogue_loader.h"
#include "catalogue/catalogue_source.h"
#include "platform/profile_document.h"
#include "platform/win32/win32_environment.h"
#include "platform/win32/win32_windows.h"
#include "support/large_catalogue.h"
#include "ui/ex_list_view.h"
#include "ui/window_dpi.h"
#include "wizard/row_drawing.h"

// After <windows.h>, which it needs.
#include <commctrl.h>

namespace tarn::ui {
namespace {

// Rows at first: Apps, Alpha, Beta, Locked, Tools (Kit and Pad folded away).
constexpr std::string_view kIni =
    "[Apps]\r\n"
    "command.0=alpha.exe\r\ndescription.0=Alpha\r\nselected.0=1\r\n"
    "command.1=beta.exe\r\ndescription.1=Beta\r\nselected.1=0\r\n"
    "command.2=locked.exe\r\ndescription.2=Locked\r\nlocked.2=1\r\nselected.2=1\r\n"
    "[Tools]\r\ncollapsed=1\r\n"
    "command.0=kit.exe\r\ndescription.0=Kit\r\n"
    "command.1=pad.exe\r\ndescription.1=Pad\r\n";

// What the parent window saw of the list.
struct Notices {
  int count = 0;
  int32_t oldState = -1;
  int32_t newState = -1;
  const catalogue::SoftwareEntry* entry = nullptr;
};
Notices notices;
ExListView* shownView = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code == EXLVN_SELCHANGED) {
      const auto* change = reinterpret_cast<const NMEXLVSELCHANGED*>(lParam);
      ++notices.count;
      notices.oldState = change->oldState;
      notices.newState = *change->state;
      notices.entry = change->entry;
      return 0;
    }
    LRESULT result = 0;
    if (shownView && shownView->Notify(*header, result)) return result;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class ExListViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW parentClass{};
    parentClass.cbSize = sizeof(parentClass);
    parentClass.lpfnWndProc = ParentProc;
    parentClass.hInstance = GetModuleHandleW(nullptr);
    parentClass.lpszClassName = L"TarnTestListParent";
    RegisterClassExW(&parentClass);  // fails harmlessly from the second test on
    parent_ = CreateWindowExW(0, L"TarnTestListParent", L"", WS_OVERLAPPEDWINDOW, 0, 0, 420, 320,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    HWND list =
        CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 400, 280,
                        parent_, reinterpret_cast<HMENU>(1136), GetModuleHandleW(nullptr), nullptr);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 300;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    view_.Attach(list);
    list_ = view_.window();
    shownView = &view_;
    notices = {};
  }

  void TearDown() override {
    shownView = nullptr;
    view_.Detach();
    DestroyWindow(parent_);
  }

  void Load(std::string_view ini) {
    const std::vector<uint8_t> bytes(ini.begin(), ini.end());
    const platform::ProfileDocument document = platform::ProfileDocument::Parse(bytes);
    catalogue::DocumentSource source(document);
    catalogue::LoadCatalogue(
        source, [](TextView) { return true; }, {}, catalogue_);
    model_ = std::make_unique<wizard::SoftwareSelection>(catalogue_);
    view_.SetModel(model_.get());
  }

  [[nodiscard]] size_t Rows() const {
    return static_cast<size_t>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  }

  [[nodiscard]] wizard::Box RowBox(size_t row) const {
    RECT r{};
    r.left = LVIR_BOUNDS;
    SendMessageW(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top, r.right, r.bottom};
  }

  void ClickAt(const wizard::Box& box) const {
    const LPARAM point = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    SendMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(list_, WM_LBUTTONUP, 0, point);
  }

  void ClickCheckBox(size_t row) const {
    ClickAt(wizard::CheckBoxBox(RowBox(row), model_->EntryAt(row)->Level, ui::WindowDpi(list_)));
  }

  void Select(size_t row) const {
    LVITEMW item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    SendMessageW(list_, LVM_SETSELECTIONMARK, 0, static_cast<LPARAM>(row));
  }

  [[nodiscard]] LRESULT Mark() const { return SendMessageW(list_, LVM_GETSELECTIONMARK, 0, 0); }

  // The colours of every pixel of a box, with the list painted into a
  // memory bitmap as a paint message would paint it.
  [[nodiscard]] std::vector<COLORREF> Pixels(const wizard::Box& box) const {
    RECT client{};
    GetClientRect(list_, &client);
    HDC screen = GetDC(list_);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, client.right, client.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(list_, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT);
    std::vector<COLORREF> pixels;
    for (int y = box.top; y < box.bottom; ++y) {
      for (int x = box.left; x < box.right; ++x) pixels.push_back(GetPixel(memory, x, y));
    }
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(list_, screen);
    return pixels;
  }

  HWND parent_ = nullptr;
  HWND list_ = nullptr;
  win32::Win32Environment environment_;
  ExListView view_{environment_};
  catalogue::SoftwareCatalogue catalogue_;
  std::unique_ptr<wizard::SoftwareSelection> model_;
};

TEST_F(ExListViewTest, AClickOnTheCheckBoxTogglesAndTellsTheParent) {
  Load(kIni);
  const catalogue::SoftwareEntry* beta = model_->EntryAt(2);
  ClickCheckBox(2);
  EXPECT_EQ(beta->State, catalogue::kStateSelected);
  EXPECT_EQ(notices.count, 1);
  EXPECT_EQ(notices.entry, beta);
  EXPECT_EQ(notices.oldState, 0);
  EXPECT_EQ(notices.newState, catalogue::kStateSelected);
  EXPECT_EQ(model_->EntryAt(0)->State, catalogue::kStateSelected) << "the section follows";
  EXPECT_EQ(Mark(), -1) << "a click on the glyph does not select the row";

  ClickCheckBox(3);  // locked
  EXPECT_EQ(notices.count, 1);
}

TEST_F(ExListViewTest, AClickOnTheExpanderShowsAndHidesTheChildren) {
  Load(kIni);
  EXPECT_NE(GetWindowLongPtrW(list_, GWL_STYLE) & LVS_OWNERDATA, 0) << "the list became virtual";
  EXPECT_EQ(GetDlgCtrlID(list_), 1136);
  EXPECT_EQ(Rows(), 5u);
  const wizard::Box tools = RowBox(4);
  ClickAt(wizard::ExpanderZone(tools, 0, ui::WindowDpi(list_)));
  EXPECT_EQ(Rows(), 7u);
  EXPECT_EQ(model_->EntryAt(6)->Description, u"Pad");
  ClickAt(wizard::ExpanderZone(tools, 0, ui::WindowDpi(list_)));
  EXPECT_EQ(Rows(), 5u);
  // A double click on the text unfolds as well.
  const wizard::Box text{wizard::TextStart(tools, 0, ui::WindowDpi(list_)), tools.top, tools.right,
                         tools.bottom};
  SendMessageW(list_, WM_LBUTTONDBLCLK, MK_LBUTTON,
               MAKELPARAM(text.left + 5, (text.top + text.bottom) / 2));
  EXPECT_EQ(Rows(), 7u);
  EXPECT_EQ(notices.count, 0);
}

TEST_F(ExListViewTest, LeftOnAChildFoldsItsParentAndSelectsIt) {
  Load(kIni);
  Select(2);
  SendMessageW(list_, WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(Rows(), 2u);
  EXPECT_EQ(Mark(), 0);
  EXPECT_EQ(SendMessageW(list_, LVM_GETITEMSTATE, 0, LVIS_SELECTED), LVIS_SELECTED);

  // Right unfolds again; on a row with nothing to unfold it moves down.
  SendMessageW(list_, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(Rows(), 5u);
  EXPECT_EQ(Mark(), 0);
  SendMessageW(list_, WM_KEYDOWN, VK_RIGHT, 0);
  EXPECT_EQ(Mark(), 1);
}

TEST_F(ExListViewTest, SpaceTogglesTheCurrentEntryUnlessItIsLocked) {
  Load(kIni);
  const catalogue::SoftwareEntry* locked = model_->EntryAt(3);
  Select(3);
  SendMessageW(list_, WM_CHAR, L' ', 0);
  EXPECT_EQ(locked->State, catalogue::kStateSelected);
  EXPECT_EQ(notices.count, 0);
  Select(2);
  SendMessageW(list_, WM_CHAR, L' ', 0);
  EXPECT_EQ(notices.count, 1);
  EXPECT_EQ(notices.entry, model_->EntryAt(2));
}

TEST_F(ExListViewTest, TheCheckBoxIsPaintedWithItsMark) {
  Load(kIni);
  const wizard::Box box = wizard::CheckBoxBox(RowBox(2), 1, ui::WindowDpi(list_));
  const std::vector<COLORREF> unchecked = Pixels(box);
  ClickCheckBox(2);
  const std::vector<COLORREF> checked = Pixels(box);
  ASSERT_EQ(unchecked.size(), checked.size());
  EXPECT_NE(unchecked, checked) << "the mark did not change the box";
}

TEST_F(ExListViewTest, EachRowGivesItsTextAndCheckStateToClients) {
  // What screen readers, UI Automation and type-ahead read of a row.
  Load(kIni);
  const auto text = [&](size_t row) {
    wchar_t buffer[64] = {};
    LVITEMW item{};
    item.pszText = buffer;
    item.cchTextMax = 64;
    SendMessageW(list_, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return std::wstring(buffer);
  };
  const auto checked = [&](size_t row) {
    const auto state =
        static_cast<UINT>(SendMessageW(list_, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK));
    return state == INDEXTOSTATEIMAGEMASK(2);
  };
  // The control's own check boxes leave the rows as tall as a plain list's.
  HWND plain = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT | LVS_OWNERDATA, 0, 0,
                               400, 280, parent_, nullptr, GetModuleHandleW(nullptr), nullptr);
  LVCOLUMNW column{};
  column.mask = LVCF_WIDTH;
  column.cx = 300;
  SendMessageW(plain, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
  SendMessageW(plain, LVM_SETITEMCOUNT, 1, 0);
  RECT plainRow{};
  plainRow.left = LVIR_BOUNDS;
  SendMessageW(plain, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&plainRow));
  EXPECT_EQ(RowBox(0).bottom - RowBox(0).top, plainRow.bottom - plainRow.top);
  DestroyWindow(plain);
  EXPECT_EQ(text(1), L"Alpha");
  EXPECT_EQ(text(4), L"Tools");
  EXPECT_EQ(SendMessageW(list_, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES,
            LVS_EX_CHECKBOXES);
  EXPECT_TRUE(checked(1));
  EXPECT_FALSE(checked(2));
  ClickCheckBox(2);
  EXPECT_TRUE(checked(2)) << "Beta ticked";
}

TEST_F(ExListViewTest, TypingTheStartOfARowsTextMovesTheSelectionThere) {
  Load(kIni);
  Select(0);
  SetFocus(list_);
  SendMessageW(list_, WM_CHAR, L'l', 1);  // typed once
  EXPECT_EQ(Mark(), 3) << "Locked";
  LVFINDINFOW find{};
  find.flags = LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP;
  find.psz = L"be";
  EXPECT_EQ(SendMessageW(list_, LVM_FINDITEMW, 3, reinterpret_cast<LPARAM>(&find)), 2);
}

// How long these take is measured by bench/software_list_timing.cpp.
TEST_F(ExListViewTest, TenThousandRowsShowAndASectionTogglesAndFolds) {
  Load(testing::LargeCatalogueIni());
  (void)Pixels(RowBox(0));
  EXPECT_EQ(Rows(), testing::kLargeCatalogueRows);

  ClickCheckBox(0);
  (void)Pixels(RowBox(0));
  EXPECT_EQ(model_->EntryAt(1000)->State, 0) << "the toggle reached the last child";

  ClickAt(wizard::ExpanderZone(RowBox(0), 0, ui::WindowDpi(list_)));
  EXPECT_EQ(Rows(), 9010u);
  ClickAt(wizard::ExpanderZone(RowBox(0), 0, ui::WindowDpi(list_)));
  (void)Pixels(RowBox(0));
  EXPECT_EQ(Rows(), testing::kLargeCatalogueRows);
}

}  // namespace
}  // namespace tarn::ui
