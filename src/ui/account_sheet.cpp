#include "ui/account_sheet.h"

#include <memory>
#include <vector>

#include "accounts/user_account.h"
#include "app/app_context.h"
#include "base/format.h"
#include "platform/win32/win32_text.h"
#include "startup/account_steps.h"
#include "ui/account_sheet_pages.h"

namespace tarn::ui {

namespace {

// The sheet's caption: "New user account", or the edited account's name.
Text SheetCaption(app::Translator& translator, const accounts::UserAccount* record) {
  if (record == nullptr) return translator.Translate(IDS_NEW_ACCOUNT_CAPTION);
  return Format(translator.Translate(IDS_ACCOUNT_CAPTION), {record->Name.view()});
}

std::vector<std::unique_ptr<PropertyPage>> MakePages(AccountSheetState& state, bool deleted) {
  std::vector<std::unique_ptr<PropertyPage>> pages;
  if (deleted) {
    pages.push_back(std::make_unique<DeletedAccountPage>(state));
    return pages;
  }
  pages.push_back(std::make_unique<AccountPage>(state));
  pages.push_back(std::make_unique<ShellFolderPage>(state));
  pages.push_back(std::make_unique<EnvironmentPage>(state));
  return pages;
}

// Runs the modal sheet; true when it closed with OK.
bool RunSheet(HWND owner, AccountSheetState& state, const accounts::UserAccount* record,
              const std::vector<std::unique_ptr<PropertyPage>>& pages) {
  app::Translator& translator = state.session.app.translator;
  const HINSTANCE instance = state.session.instance;
  std::vector<std::wstring> titles;
  titles.reserve(pages.size());
  for (const auto& page : pages) {
    titles.push_back(win32::Wide(translator.Translate(static_cast<uint32_t>(page->dialogId()))));
  }
  std::vector<PROPSHEETPAGEW> records;
  for (size_t i = 0; i < pages.size(); ++i) {
    records.push_back(pages[i]->Describe(instance, titles[i].c_str(), L"", L""));
  }
  const std::wstring caption = win32::Wide(SheetCaption(translator, record));
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof(header);
  header.dwFlags = PSH_PROPSHEETPAGE | PSH_USEICONID | PSH_NOAPPLYNOW;
  header.hwndParent = owner;
  header.hInstance = instance;
  header.pszIcon = MAKEINTRESOURCEW(IDI_ACCOUNT_SHEET);
  header.pszCaption = caption.c_str();
  header.nPages = static_cast<UINT>(records.size());
  header.ppsp = records.data();
  // OK is known from the pages' apply notification: the sheet's own result
  // differs between systems when nothing was marked changed.
  (void)PropertySheetW(&header);
  return state.accepted;
}

}  // namespace

accounts::UserAccount* EditAccount(HWND owner, WizardSession& session,
                                   accounts::UserAccount* record) {
  try {
    const accounts::AccountServices services = startup::ServicesOf(session.app);
    wizard::AccountEditor editor(services, session.accounts, session.app.config, record);
    AccountSheetState state{session, editor};
    const bool deleted = record != nullptr && record->Deleted != 0;
    const auto pages = MakePages(state, deleted);
    if (!RunSheet(owner, state, record, pages)) {
      editor.Discard();
      return nullptr;
    }
    // A deleted account's notice changes nothing.
    if (deleted) return record;
    return editor.Commit();
  } catch (...) {
    return nullptr;
  }
}

}  // namespace tarn::ui
