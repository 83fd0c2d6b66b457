// Waiting for a worker on the user-interface thread: the worker's messages to
// that thread's windows are answered during the wait.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/win32/win32_windows.h"
#include "ui/pumped_thread.h"

namespace tarn::ui {
namespace {

constexpr UINT kQuestion = WM_APP + 40;

TEST(PumpedThread, AWorkerThatSendsToTheWaitingThreadIsAnswered) {
  const HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                      GetModuleHandleW(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  std::atomic<bool> answered{false};
  PumpedThread worker;
  ASSERT_TRUE(worker.Start([window, &answered] {
    DWORD_PTR result = 0;
    // A plain join would leave this unanswered until the time-out.
    answered = SendMessageTimeoutW(window, kQuestion, 0, 0, SMTO_NORMAL, 3000, &result) != 0;
  }));
  PostQuitMessage(7);
  worker.Join();
  EXPECT_TRUE(answered) << "the waiting thread did not answer the worker";
  EXPECT_FALSE(worker.joinable());
  MSG quit{};
  EXPECT_TRUE(PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
      << "a WM_QUIT met while waiting is kept for the outer loop";
  EXPECT_EQ(quit.wParam, 7u);
  DestroyWindow(window);
}

}  // namespace
}  // namespace tarn::ui
