// Whether the user runs a high-contrast theme: then whatever the program
// paints itself takes the system's colours as they are.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn::ui {

// True while a high-contrast theme is on; asked at each paint, since the
// user can switch themes while the wizard is open.
[[nodiscard]] inline bool HighContrastOn() {
  HIGHCONTRASTW contrast{};
  contrast.cbSize = sizeof(contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) != 0 &&
         (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

}  // namespace tarn::ui
