#include "platform/win32/win32_desktop.h"

#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace tarn::win32 {
namespace {

using MessageBoxTimeoutFn = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type,
                                         WORD language, DWORD milliseconds);

MessageBoxTimeoutFn FindMessageBoxTimeout() {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (user32 == nullptr) user32 = LoadLibraryW(L"user32.dll");
  if (user32 == nullptr) return nullptr;
  return reinterpret_cast<MessageBoxTimeoutFn>(
      reinterpret_cast<void*>(GetProcAddress(user32, "MessageBoxTimeoutW")));
}

}  // namespace

int Win32Desktop::MessageBox(TextView text, TextView caption, uint32_t flags) {
  return MessageBoxW(GetDesktopWindow(), Wide(text).c_str(), Wide(caption).c_str(), flags);
}

std::optional<int> Win32Desktop::MessageBoxTimeout(TextView text, TextView caption, uint32_t flags,
                                                   uint32_t milliseconds) {
  static const MessageBoxTimeoutFn messageBoxTimeout = FindMessageBoxTimeout();
  if (messageBoxTimeout == nullptr) return std::nullopt;
  return messageBoxTimeout(GetDesktopWindow(), Wide(text).c_str(), Wide(caption).c_str(), flags, 0,
                           milliseconds);
}

}  // namespace tarn::win32
