// The program's own link control, for common controls that have none: one
// line of link markup drawn underlined in the hot-track colour, reporting a
// click (or Enter) to its parent as the system's link control does, with the
// target in an NMLINK record.
#pragma once

#include "platform/win32/win32_windows.h"

namespace tarn::ui {

// The system's class name, so that dialog templates name one class for both.
inline constexpr wchar_t kLinkClassName[] = L"SysLink";

// Registers the program's link control under `className` for the program's
// module. False when that fails, as a second registration does (harmless).
// Tests give a name of their own, so the system's class stays in use.
[[nodiscard]] bool RegisterLinkControl(const wchar_t* className = kLinkClassName);

// Makes a "SysLink" class available to dialogs: the system's when the common
// controls provide it, else the program's own.
void EnsureLinkClass();

}  // namespace tarn::ui
