// The open-file dialog the pages' Load buttons show for a configuration file.
#pragma once

#include <optional>

#include "platform/win32/win32_windows.h"

#include "app/translator.h"
#include "base/text.h"

namespace tarn::ui {

// Asks for a configuration file with the program's filter (text 148) under
// the title text `titleId`, explorer style and resizable, 260 characters at
// most; the name as chosen, or none when the user cancelled.
[[nodiscard]] std::optional<Text> AskForConfigurationFile(HWND owner, app::Translator& translator,
                                                          uint32_t titleId);

}  // namespace tarn::ui
