// Opens one page of the program in a modeless Wizard97 sheet, as the tests
// of a single page need it, with the small pieces those tests share.
#pragma once

#include "ui/property_page.h"
#include "ui/wizard_session.h"

namespace tarn::ui::testing {

// A frame whose countdown nothing in the test arms.
class QuietFrame final : public FrameControl {
 public:
  void StopCountdown() override {}
};

// Handles the thread's messages for about 200 ms, long enough for a sheet to
// make its page and for posted work to run.
inline void Pump() {
  MSG message;
  for (int round = 0; round < 20; ++round) {
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(10);
  }
}

// The sheet holding `page` (titled `title`), or nullptr. The page's window
// exists once the caller has pumped the sheet's messages.
[[nodiscard]] inline HWND OpenPageInSheet(PropertyPage& page, const wchar_t* title) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  PROPSHEETPAGEW record = page.Describe(instance, title, L"", L"");
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_WIZARD97 | PSH_MODELESS | PSH_PROPSHEETPAGE;
  header.hInstance = instance;
  header.nPages = 1;
  header.ppsp = &record;
  return reinterpret_cast<HWND>(PropertySheetW(&header));
}

}  // namespace tarn::ui::testing
