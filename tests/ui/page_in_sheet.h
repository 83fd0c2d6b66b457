// Opens one page of the program in a modeless Wizard97 sheet, as the tests
// of a single page need it.
#pragma once

#include "ui/property_page.h"

namespace tarn::ui::testing {

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
