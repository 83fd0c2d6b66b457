#include "ui/shell_open.h"

namespace tarn::ui {

void OpenWithShell(HWND owner, const wchar_t* target) {
  using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  HMODULE shell = LoadLibraryW(L"shell32.dll");
  if (!shell) return;
  const auto execute = reinterpret_cast<ShellExecuteFunction>(
      reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")));
  if (execute) execute(owner, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
  FreeLibrary(shell);
}

}  // namespace tarn::ui
