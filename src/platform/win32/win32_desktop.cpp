#include "platform/win32/win32_desktop.h"

#include "platform/win32/win32_system_function.h"
#include "platform/win32/win32_text.h"
#include "platform/win32/win32_windows.h"

namespace tarn::win32 {
namespace {

using MessageBoxTimeoutFn = int(WINAPI*)(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type,
                                         WORD language, DWORD milliseconds);

}  // namespace

int Win32Desktop::MessageBox(TextView text, TextView caption, uint32_t flags) {
  return MessageBoxW(GetDesktopWindow(), Wide(text).c_str(), Wide(caption).c_str(), flags);
}

std::optional<int> Win32Desktop::MessageBoxTimeout(TextView text, TextView caption, uint32_t flags,
                                                   uint32_t milliseconds) {
  // user32 is loaded: this file calls MessageBoxW through its import.
  static const auto messageBoxTimeout =
      SystemFunction<MessageBoxTimeoutFn>(L"user32.dll", "MessageBoxTimeoutW");
  if (messageBoxTimeout == nullptr) return std::nullopt;
  return messageBoxTimeout(GetDesktopWindow(), Wide(text).c_str(), Wide(caption).c_str(), flags, 0,
                           milliseconds);
}

}  // namespace tarn::win32
