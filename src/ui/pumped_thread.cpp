#include "ui/pumped_thread.h"

#include <exception>
#include <utility>

namespace tarn::ui {

void WaitPumping(HANDLE handle) {
  bool quit = false;
  WPARAM quitCode = 0;
  for (;;) {
    const DWORD woken =
        MsgWaitForMultipleObjectsEx(1, &handle, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woken == WAIT_OBJECT_0) break;
    if (woken != WAIT_OBJECT_0 + 1) {
      // The handle can't be waited for with messages: wait without them
      // rather than spin.
      (void)WaitForSingleObject(handle, INFINITE);
      break;
    }
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = true;
        quitCode = message.wParam;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

bool PumpedThread::Start(std::function<void()> work) {
  if (thread_.joinable()) return false;
  done_.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!done_) return false;
  const HANDLE done = done_.get();
  try {
    thread_ = std::thread([work = std::move(work), done] {
      work();
      SetEvent(done);
    });
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

void PumpedThread::Join() {
  if (!thread_.joinable()) return;
  WaitPumping(done_.get());
  // A message handled while waiting may have joined the thread already.
  if (thread_.joinable()) thread_.join();
}

}  // namespace tarn::ui
