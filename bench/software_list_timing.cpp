// Timed operations of the software list under Wine, on a catalogue of ten
// sections of 1,000 items each (10,010 rows, all shown): a real visible
// window holds the virtual report list with `ExListView` attached, its parent
// forwards the custom-draw notifications, and every operation ends with the
// list painted (UpdateWindow). Clicks are the button messages a user's click
// sends. Each operation runs `runs` times; the median, fastest and slowest
// are printed next to the goal.
//
//   software_list_timing.exe [runs]
//
// The exit code is 1 only when an operation did not do what it should.
#include "platform/win32/win32_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "catalogue/catalogue_loader.h"
#include "catalogue/catalogue_source.h"
#include "platform/profile_document.h"
#include "platform/win32/win32_environment.h"
#include "support/large_catalogue.h"
#include "ui/ex_list_view.h"
#include "ui/window_dpi.h"
#include "wizard/row_drawing.h"

namespace {

using namespace tarn;
using Clock = std::chrono::steady_clock;

constexpr size_t kRows = testing::kLargeCatalogueRows;
constexpr size_t kRowsWithFirstFolded = kRows - 1000;
constexpr size_t kLastChildOfFirst = 1000;

ui::ExListView* shownView = nullptr;

LRESULT CALLBACK ParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_NOTIFY && shownView) {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->code == NM_CUSTOMDRAW) {
        return shownView->DrawRow(*reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
      }
    }
    return DefWindowProcW(window, message, wParam, lParam);
  } catch (...) {
    return 0;
  }
}

// What is on screen: the parent, the list and the view over it, and the
// catalogue with its model once loaded.
class Bench {
 public:
  Bench() : ini_(testing::LargeCatalogueIni()) {}
  ~Bench() {
    shownView = nullptr;
    view_.Detach();
    if (parent_) DestroyWindow(parent_);
  }
  Bench(const Bench&) = delete;
  Bench& operator=(const Bench&) = delete;

  // A visible top-level window with the list filling it; false on failure.
  [[nodiscard]] bool Open() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSEXW parentClass{};
    parentClass.cbSize = sizeof(parentClass);
    parentClass.lpfnWndProc = ParentProc;
    parentClass.hInstance = GetModuleHandleW(nullptr);
    parentClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    parentClass.lpszClassName = L"TarnListTiming";
    if (!RegisterClassExW(&parentClass)) return false;
    parent_ = CreateWindowExW(0, L"TarnListTiming", L"Software list timing",
                              WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (!parent_) return false;
    RECT client{};
    GetClientRect(parent_, &client);
    HWND list = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA, 0,
                                0, client.right, client.bottom, parent_,
                                reinterpret_cast<HMENU>(1136), GetModuleHandleW(nullptr), nullptr);
    if (!list) return false;
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - 40;
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    view_.Attach(list);
    list_ = view_.window();
    shownView = &view_;
    UpdateWindow(parent_);
    Pump();
    return list_ != nullptr;
  }

  // Parses the configuration and applies the loading rules: what the
  // program does at start-up.
  void LoadCatalogue() {
    const std::vector<uint8_t> bytes(ini_.begin(), ini_.end());
    const platform::ProfileDocument document = platform::ProfileDocument::Parse(bytes);
    catalogue::DocumentSource source(document);
    catalogue::LoadCatalogue(
        source, [](TextView) { return true; }, {}, catalogue_);
  }

  // The page's part: the model over the catalogue, shown and painted.
  void Show() {
    model_ = std::make_unique<wizard::SoftwareSelection>(catalogue_);
    view_.SetModel(model_.get());
    UpdateWindow(list_);
  }

  // Empties the list, paints it and drops the catalogue, so the next load
  // and show start from nothing.
  void Hide() {
    view_.SetModel(nullptr);
    UpdateWindow(list_);
    model_.reset();
    catalogue_.Free();
    Pump();
  }

  void ClickCheckBox(size_t row) {
    Click(wizard::CheckBoxBox(RowBox(row), model_->EntryAt(row)->Level, ui::WindowDpi(list_)));
    UpdateWindow(list_);
  }

  void ClickExpander(size_t row) {
    // The bench prefix runs at 100 %.
    Click(wizard::ExpanderZone(RowBox(row), model_->EntryAt(row)->Level, 96));
    UpdateWindow(list_);
  }

  [[nodiscard]] size_t Rows() const {
    return static_cast<size_t>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
  }

  [[nodiscard]] int32_t StateAt(size_t row) const { return model_->EntryAt(row)->State; }

  // Whatever the window system still has queued, outside the timed part.
  static void Pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

 private:
  [[nodiscard]] wizard::Box RowBox(size_t row) const {
    RECT r{};
    r.left = LVIR_BOUNDS;
    SendMessageW(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
    return {r.left, r.top, r.right, r.bottom};
  }

  void Click(const wizard::Box& box) const {
    const LPARAM point = MAKELPARAM((box.left + box.right) / 2, (box.top + box.bottom) / 2);
    SendMessageW(list_, WM_LBUTTONDOWN, MK_LBUTTON, point);
    SendMessageW(list_, WM_LBUTTONUP, 0, point);
  }

  std::string ini_;
  HWND parent_ = nullptr;
  HWND list_ = nullptr;
  win32::Win32Environment environment_;
  ui::ExListView view_{environment_};
  catalogue::SoftwareCatalogue catalogue_;
  std::unique_ptr<wizard::SoftwareSelection> model_;
};

double Milliseconds(Clock::duration d) {
  return std::chrono::duration<double, std::milli>(d).count();
}

// The times of one operation, in milliseconds.
struct Series {
  const char* name;
  const char* goal;
  std::vector<double> times;

  void Print() const {
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("%-36s %9.1f %9.1f %9.1f   %s\n", name, sorted[sorted.size() / 2], sorted.front(),
                sorted.back(), goal);
  }
};

template <typename Work>
void Timed(Series& series, Work&& work) {
  const Clock::time_point start = Clock::now();
  work();
  series.times.push_back(Milliseconds(Clock::now() - start));
}

bool Fail(const char* what, size_t actual) {
  std::fprintf(stderr, "failed: %s (actual %zu)\n", what, actual);
  return false;
}

// Every operation `runs` times; false when one did not do its work.
bool Measure(int runs, Bench& bench) {
  Series load{"catalogue load (parse, rules)", "-", {}};
  Series show{"model, SetModel, UpdateWindow", "-", {}};
  Series ready{"load and show, together", "under 1,000 ms", {}};
  Series toggle{"toggle a 1,000-entry section", "under 50 ms", {}};
  Series expand{"expand a 1,000-entry section", "under 50 ms", {}};
  Series collapse{"collapse a 1,000-entry section", "-", {}};
  for (int run = 0; run < runs; ++run) {
    bench.Hide();
    const Clock::time_point start = Clock::now();
    Timed(load, [&] { bench.LoadCatalogue(); });
    Timed(show, [&] { bench.Show(); });
    ready.times.push_back(Milliseconds(Clock::now() - start));
    if (bench.Rows() != kRows) return Fail("every row shown", bench.Rows());
    Bench::Pump();
  }
  for (int run = 0; run < runs; ++run) {
    const int32_t before = bench.StateAt(kLastChildOfFirst);
    Timed(toggle, [&] { bench.ClickCheckBox(0); });
    if (bench.StateAt(kLastChildOfFirst) == before) {
      return Fail("the toggle reached the section's last child", static_cast<size_t>(before));
    }
    Bench::Pump();
  }
  for (int run = 0; run < runs; ++run) {
    Timed(collapse, [&] { bench.ClickExpander(0); });
    if (bench.Rows() != kRowsWithFirstFolded) return Fail("the section folded", bench.Rows());
    Bench::Pump();
    Timed(expand, [&] { bench.ClickExpander(0); });
    if (bench.Rows() != kRows) return Fail("the section unfolded", bench.Rows());
    Bench::Pump();
  }
  std::printf("software list, %zu rows, %d runs each, milliseconds\n", kRows, runs);
  std::printf("%-36s %9s %9s %9s   %s\n", "operation", "median", "min", "max", "goal");
  for (const Series* series : {&load, &show, &ready, &toggle, &expand, &collapse}) {
    series->Print();
  }
  return true;
}

}  // namespace

int main(int count, char** arguments) {
  const int runs = count > 1 ? std::max(1, std::atoi(arguments[1])) : 15;
  Bench bench;
  if (!bench.Open()) {
    std::fprintf(stderr, "failed: no window with a list\n");
    return 1;
  }
  return Measure(runs, bench) ? 0 : 1;
}
