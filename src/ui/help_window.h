// The command-line help as a window: a resizable, read-only, scrolling text
// with an OK button, sized to the work area of its monitor. The help is
// longer than a small screen is tall, so the system's message box (which
// neither scrolls nor shrinks) cannot show all of it.
#pragma once

#include "app/translator.h"
#include "base/text.h"

namespace tarn::ui {

// Shows `text` under `caption` (the template's caption when empty), above
// all other windows, and returns when the reader has closed it with OK,
// Enter, Escape or the Close command. The OK button takes its translation
// from `translator`. False when the window could not be created.
bool ShowHelpWindow(TextView text, TextView caption, app::Translator& translator);

}  // namespace tarn::ui
