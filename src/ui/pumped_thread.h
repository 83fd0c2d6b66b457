// A worker thread the user-interface thread waits for without going deaf:
// while it waits, its windows keep being painted and messages other threads
// send to them get their answers, so a worker that shows a window or sends
// a message is never stuck on a waiting wizard.
#pragma once

#include <functional>
#include <thread>

#include "platform/win32/win32_windows.h"
// The handle template needs windows.h first.
#include "platform/win32/win32_handles.h"

namespace tarn::ui {

// Waits until `handle` is signalled, handling this thread's messages
// meanwhile. A WM_QUIT met on the way is posted again once the wait is
// over, for the loop outside.
void WaitPumping(HANDLE handle);

class PumpedThread {
 public:
  PumpedThread() = default;
  // The thread must have been joined.
  ~PumpedThread() = default;
  PumpedThread(const PumpedThread&) = delete;
  PumpedThread& operator=(const PumpedThread&) = delete;

  // Runs `work` on a new thread; false when no thread could be started (or
  // one is already there). `work` must not throw.
  [[nodiscard]] bool Start(std::function<void()> work);
  [[nodiscard]] bool joinable() const { return thread_.joinable(); }
  // Waits for the thread with WaitPumping, then joins it. Nothing to do when
  // there is no thread; a message handled during the wait may join it too.
  void Join();

 private:
  // Signalled by the thread as its last act.
  win32::UniqueHandle done_;
  std::thread thread_;
};

}  // namespace tarn::ui
