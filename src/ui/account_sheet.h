// The account property sheet: edits one account record on a working copy
// ("User account", "Shellfolder" and "Environment" pages, or only the
// deleted-account notice), committed whole on OK and discarded on Cancel.
#pragma once

#include "platform/win32/win32_windows.h"

#include "ui/wizard_session.h"

namespace tarn::accounts {
struct UserAccount;
}

namespace tarn::ui {

// Opens the sheet over `owner` for `record`, a record of the session's
// account list, or nullptr for a new account. Returns the record the list
// page shows afterwards (the new record, added to the list, or `record`
// with the edits), or nullptr when the sheet was cancelled, in which case
// the list is exactly as before.
[[nodiscard]] accounts::UserAccount* EditAccount(HWND owner, WizardSession& session,
                                                 accounts::UserAccount* record);

}  // namespace tarn::ui
