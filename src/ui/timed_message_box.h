// A message box that answers by itself when nobody does: an unattended
// wizard must not wait forever on a question.
#pragma once

#include <cstdint>

#include "platform/win32/win32_windows.h"

#include "base/text.h"

namespace tarn::ui {

// MessageBoxW with `flags`. When `timeoutSeconds` is not 0 and the box is
// still open after that time, it is closed as if `timeoutAnswer` (IDNO,
// IDOK, ...) had been clicked; that answer must be one of the box's buttons.
[[nodiscard]] int TimedMessageBox(HWND owner, TextView text, TextView caption, UINT flags,
                                  uint32_t timeoutSeconds, int timeoutAnswer);

}  // namespace tarn::ui
