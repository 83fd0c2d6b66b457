// The account chooser ("Local User Accounts"): the computer's local accounts,
// one of which the account sheet takes over by name.
#pragma once

#include <optional>

#include "platform/win32/win32_windows.h"

#include "base/text.h"
#include "ui/wizard_session.h"

namespace tarn::ui {

// Shows the chooser over `owner`; the chosen account's whole name (up to 20
// characters), or none when the user cancelled.
[[nodiscard]] std::optional<Text> ChooseLocalAccount(HWND owner, WizardSession& session);

}  // namespace tarn::ui
