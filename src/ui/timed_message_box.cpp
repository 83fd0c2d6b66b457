#include "ui/timed_message_box.h"

#include <string>

#include "platform/win32/win32_text.h"

namespace tarn::ui {

namespace {

// The box waiting on this thread. A thread timer's procedure gets no
// parameter of ours, and a thread shows one message box at a time.
struct PendingBox {
  std::wstring caption;
  int answer = IDCANCEL;
};
thread_local PendingBox* pending = nullptr;

BOOL CALLBACK AnswerIfOurs(HWND window, LPARAM parameter) {
  auto* box = reinterpret_cast<PendingBox*>(parameter);
  wchar_t className[16] = {};
  GetClassNameW(window, className, 16);
  if (std::wstring_view(className) != L"#32770" || !IsWindowVisible(window)) return TRUE;
  const int length = GetWindowTextLengthW(window);
  std::wstring caption(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(window, caption.data(), length + 1);
  caption.resize(static_cast<size_t>(length));
  if (caption != box->caption) return TRUE;
  // The box's dialog procedure ends it with the clicked button's number.
  PostMessageW(window, WM_COMMAND, MAKEWPARAM(box->answer, BN_CLICKED), 0);
  return FALSE;
}

// Runs inside the message box's own message loop. When the box is not
// found yet, the timer simply fires again.
void CALLBACK OnTimeout(HWND, UINT, UINT_PTR, DWORD) {
  try {
    if (pending == nullptr) return;
    EnumThreadWindows(GetCurrentThreadId(), AnswerIfOurs, reinterpret_cast<LPARAM>(pending));
  } catch (...) {
  }
}

}  // namespace

int TimedMessageBox(HWND owner, TextView text, TextView caption, UINT flags,
                    uint32_t timeoutSeconds, int timeoutAnswer) {
  const std::wstring wideText = win32::Wide(text);
  PendingBox box{win32::Wide(caption), timeoutAnswer};
  UINT_PTR timer = 0;
  if (timeoutSeconds != 0 && pending == nullptr) {
    pending = &box;
    timer = SetTimer(nullptr, 0, timeoutSeconds * 1000, OnTimeout);
  }
  const int answer = MessageBoxW(owner, wideText.c_str(), box.caption.c_str(), flags);
  if (timer != 0) KillTimer(nullptr, timer);
  if (pending == &box) pending = nullptr;
  return answer;
}

}  // namespace tarn::ui
