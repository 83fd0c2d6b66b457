// Translating whole dialogs and menus by their identifiers: a dialog's
// caption is the text numbered like the dialog, each control's text the text
// numbered like the control, each menu item's text the text numbered like its
// command. Texts that languages.ini lacks stay as the resources have them.
#pragma once

#include "app/translator.h"
#include "platform/win32/win32_windows.h"

namespace tarn::ui {

// Sets the caption of `dialog` and the text of each control listed in the
// dialog template `dialogId` of the program's resources. A template that
// cannot be loaded leaves the controls unchanged.
void TranslateDialog(HWND dialog, int dialogId, app::Translator& translator);

// Replaces the text of every item of `menu` and its submenus whose command
// identifier has a translation (separators and 0xFFFF excepted).
void TranslateMenu(HMENU menu, app::Translator& translator);

}  // namespace tarn::ui
