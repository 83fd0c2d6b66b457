// The two drive questions as windows: the missing-volume dialog and the
// format dialog. Each runs on the calling thread with its own message loop,
// unowned and top-most over the wizard, so that the wizard's thread never
// has to answer for them (it may be waiting for the caller) and its input
// is not tied to the caller's.
#pragma once

#include <atomic>

#include "platform/win32/win32_windows.h"

#include "app/prompter.h"

namespace tarn {
struct AppContext;
}

namespace tarn::ui {

// Where a shown drive dialog can be reached from another thread.
struct DriveDialogSlot {
  // The open dialog, or null.
  std::atomic<HWND> window{nullptr};
  // Set when nobody waits for an answer any more: no dialog opens, and an
  // open one ends with Cancel as soon as it may.
  std::atomic<bool> abandoned{false};
};

// Asks `question` with dialog 119 (Missing) or 117 (Unformatted), placed
// over `wizard` (a window of another thread, or null), and returns the
// answer; Cancel when the dialog can't be made or `slot` is abandoned.
[[nodiscard]] app::VolumeReply ShowDriveDialog(AppContext& app, HINSTANCE instance, HWND wizard,
                                               const app::VolumeQuestion& question,
                                               DriveDialogSlot& slot);

// Ends the dialog open in `slot`, if any, with Cancel (a format under way
// is waited for first); later questions are not shown.
void AbandonDriveDialog(DriveDialogSlot& slot);

}  // namespace tarn::ui
