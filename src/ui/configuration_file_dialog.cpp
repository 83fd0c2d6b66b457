#include "ui/configuration_file_dialog.h"

#include <commdlg.h>

#include <algorithm>
#include <string>

#include "platform/win32/win32_system_library.h"
#include "platform/win32/win32_text.h"
#include "resource.h"

namespace tarn::ui {

namespace {

constexpr DWORD kPathCapacity = 260;

// The translated filter with "|" between its parts, turned into the
// zero-separated list the dialog reads.
std::wstring FilterOf(const Text& text) {
  std::wstring filter = win32::Wide(text);
  std::replace(filter.begin(), filter.end(), L'|', L'\0');
  filter.push_back(L'\0');
  return filter;
}

// The common dialogs are loaded only when the user browses: linking them
// would load them at every start, before the wizard can show.
bool AskForFile(OPENFILENAMEW& request) {
  using GetOpenFileNameFunction = BOOL(WINAPI*)(OPENFILENAMEW*);
  HMODULE dialogs = win32::LoadSystemLibrary(L"comdlg32.dll");
  if (!dialogs) return false;
  const auto ask = reinterpret_cast<GetOpenFileNameFunction>(
      reinterpret_cast<void*>(GetProcAddress(dialogs, "GetOpenFileNameW")));
  const bool chosen = ask && ask(&request);
  FreeLibrary(dialogs);
  return chosen;
}

}  // namespace

std::optional<Text> AskForConfigurationFile(HWND owner, app::Translator& translator,
                                            uint32_t titleId) {
  const std::wstring filter = FilterOf(translator.Translate(IDS_CONFIG_FILE_FILTER));
  const std::wstring title = win32::Wide(translator.Translate(titleId));
  std::wstring file(kPathCapacity, L'\0');
  OPENFILENAMEW request{};
  request.lStructSize = sizeof(request);
  request.hwndOwner = owner;
  request.lpstrFilter = filter.c_str();
  request.lpstrFile = file.data();
  request.nMaxFile = kPathCapacity;
  request.lpstrTitle = title.c_str();
  request.lpstrDefExt = L"ini";
  // The dialog would otherwise leave the current directory where the file
  // was chosen, a folder the user picked from which nothing may be loaded.
  request.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_NOCHANGEDIR;
  if (!AskForFile(request)) return std::nullopt;
  return win32::FromWide(file.c_str());
}

}  // namespace tarn::ui
