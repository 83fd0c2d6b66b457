#include "ui/shell_open.h"

#include "platform/win32/win32_system_library.h"

namespace tarn::ui {

void OpenWithShell(HWND owner, const wchar_t* target) {
  using ShellExecuteFunction = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  HMODULE shell = win32::LoadSystemLibrary(L"shell32.dll");
  if (!shell) return;
  const auto execute = reinterpret_cast<ShellExecuteFunction>(
      reinterpret_cast<void*>(GetProcAddress(shell, "ShellExecuteW")));
  if (execute) execute(owner, L"open", target, nullptr, nullptr, SW_SHOWNORMAL);
  FreeLibrary(shell);
}

}  // namespace tarn::ui
