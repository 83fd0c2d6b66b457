#include "ui/about_dialog.h"

namespace tarn::ui {

// Not built yet: the menu entry does nothing.
void OpenAboutDialog(HWND, AppContext&) {}

}  // namespace tarn::ui
