// The wizard's user account page: the accounts the run creates, changes or
// deletes, with Load, Properties, Remove and Create and a shortcut menu.
// Binds the account list model to the list view; the property sheet and the
// changed-folders question are dialogs of their own.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "accounts/account_services.h"
#include "ui/dialog_icons.h"
#include "ui/property_page.h"
#include "ui/wizard_session.h"
#include "wizard/account_list_model.h"

namespace tarn::ui {

class AccountListPage final : public PropertyPage {
 public:
  // `session` must outlive the page.
  explicit AccountListPage(WizardSession& session);
  ~AccountListPage() override;
  void OnCountdownStopped() override;

 protected:
  bool OnInitDialog() override;
  LONG_PTR OnSetActive() override;
  LONG_PTR OnWizNext() override;
  bool OnQueryCancel() override;
  LRESULT OnNotify(NMHDR& header, bool& handled) override;
  bool OnCommand(int id, int code, HWND control) override;
  void OnTimer(UINT_PTR id) override;
  void OnSize(int width, int height) override;
  void OnDestroy() override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  void SetUpList();
  void CreateImageList();
  void ReleaseHandles();
  // Fills the list view from the model's rows, nothing selected.
  void ShowRows();
  void ShowRow(size_t row);
  void ShowButtons();
  // Load is offered only while the countdown is off and the configuration
  // allows it.
  void ShowLoadButton();
  [[nodiscard]] std::vector<size_t> SelectedRows() const;
  [[nodiscard]] std::optional<size_t> SelectionMark() const;
  [[nodiscard]] LRESULT ListNotify(NMHDR& header, bool& handled);
  // The shortcut menu for `row` (none: empty space) at `screen`.
  void OpenMenu(std::optional<size_t> row, POINT screen);
  // The menu key or Shift+F10: the menu at the selected row.
  void OpenMenuAtSelection();
  void Command(int id);
  void CreateAccount();
  void EditProperties();
  void RemoveSelected();
  void ToggleDeleted();
  void LoadUsers();
  // Asks a lock-out question; `timed` closes it unanswered after a while.
  [[nodiscard]] bool ConfirmLockOut(const wizard::LockOutQuestion& question, bool timed);
  [[nodiscard]] wizard::ConfirmLockOut Asker(bool timed);
  void StopCountdown();
  [[nodiscard]] Text ProgramFolder() const;

  WizardSession& session_;
  accounts::AccountServices services_;
  std::unique_ptr<wizard::AccountListModel> model_;
  UniqueImageList images_;
  HMENU menu_ = nullptr;
  // How the menu's "Delete user account" was shown when it was last opened.
  bool deleteChecked_ = false;
  // Set while the page's automatic start presses Next.
  bool automaticNext_ = false;
};

}  // namespace tarn::ui
