// TEMP: stand-ins until the property sheet and the changed-folders dialog
// are merged; dropped at merge.
#include "ui/account_sheet.h"
#include "ui/changed_folders_dialog.h"

namespace tarn::ui {

accounts::UserAccount* EditAccount(HWND, WizardSession&, accounts::UserAccount*) {
  return nullptr;
}

bool ConfirmChangedFolders(HWND, WizardSession&) {
  return true;
}

}  // namespace tarn::ui
