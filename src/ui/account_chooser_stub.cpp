// TEMP: stands in for the account chooser until it is merged.
#include "ui/account_chooser.h"

namespace tarn::ui {

std::optional<Text> ChooseLocalAccount(HWND, WizardSession&) {
  return std::nullopt;
}

}  // namespace tarn::ui
