// The pages of the account property sheet. They share one AccountEditor
// (the working copy and its rules); each page only moves texts and box
// states between its controls and the editor.
#pragma once

#include <optional>

#include "base/text.h"
#include "resource.h"
#include "ui/balloon_tip.h"
#include "ui/property_page.h"
#include "ui/wizard_session.h"
#include "wizard/account_editor.h"

namespace tarn::ui {

// What the pages of one sheet share; lives until the sheet has closed.
struct AccountSheetState {
  WizardSession& session;
  wizard::AccountEditor& editor;
  // Set when OK was accepted (every page agreed to apply).
  bool accepted = false;
};

// Window property holding each page's AccountSheetState.
inline constexpr wchar_t kUserDataProperty[] = L"UserData";
// Sent by the "User account" page to the other pages when the copy was
// filled anew (an existing account was chosen): show it again.
inline constexpr UINT kRefillPageMessage = WM_APP + 41;

// The control's whole text; the caller wipes it when it may be a password.
[[nodiscard]] Text ControlText(HWND control);
// Gives the sheet's own OK and Cancel buttons the program's language.
void TranslateSheetButtons(HWND sheet, app::Translator& translator);
// Sets a control's text.
void SetControlText(HWND control, TextView text);
// Shows `balloon` (translated, formatted with its argument) on its control of
// `page`, or hides the balloon when there is none.
void ShowAccountBalloon(BalloonTip& tip, HWND page, app::Translator& translator,
                        const std::optional<wizard::AccountBalloon>& balloon);

// "User account" (dialog 112).
class AccountPage final : public PropertyPage {
 public:
  explicit AccountPage(AccountSheetState& state);

 protected:
  bool OnInitDialog() override;
  bool OnKillActive() override;
  LRESULT OnNotify(NMHDR& header, bool& handled) override;
  bool OnCommand(int id, int code, HWND control) override;

 private:
  void Fill();
  // Puts the copy's password and its confirmation into their fields.
  void FillPasswords();
  void ShowView(const wizard::AccountView& view);
  void FieldChanged(int id, HWND control);
  void BoxClicked(int id);
  void ChooseAccount();
  // False when the user declined disabling the account they are logged on as.
  [[nodiscard]] bool ConfirmDisable();
  void Validate();
  void ReinitOtherPages();

  AccountSheetState& state_;
  BalloonTip balloon_;
  // Set while the page itself puts texts into the fields.
  bool filling_ = false;
};

// "Shellfolder" (dialog 111).
class ShellFolderPage final : public PropertyPage {
 public:
  explicit ShellFolderPage(AccountSheetState& state)
      : PropertyPage(IDD_SHELL_FOLDERS), state_(state) {}

 protected:
  bool OnInitDialog() override;
  bool OnKillActive() override;
  bool OnCommand(int id, int code, HWND control) override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  void Fill();
  [[nodiscard]] std::optional<size_t> ChosenFolder() const;
  void FolderChosen();
  void PathChanged();
  void Browse();

  AccountSheetState& state_;
  BalloonTip balloon_;
  bool filling_ = false;
};

// "Environment" (dialog 115) and its variable dialog (114).
class EnvironmentPage final : public PropertyPage {
 public:
  explicit EnvironmentPage(AccountSheetState& state)
      : PropertyPage(IDD_ENVIRONMENT), state_(state) {}

 protected:
  bool OnInitDialog() override;
  LRESULT OnNotify(NMHDR& header, bool& handled) override;
  bool OnCommand(int id, int code, HWND control) override;
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam, bool& handled) override;

 private:
  void FillList();
  [[nodiscard]] std::optional<size_t> SelectedRow() const;
  void Edit(std::optional<size_t> row);

  AccountSheetState& state_;
};

// The notice shown instead of the other pages for a deleted account (116).
class DeletedAccountPage final : public PropertyPage {
 public:
  explicit DeletedAccountPage(AccountSheetState& state)
      : PropertyPage(IDD_DELETED_ACCOUNT), state_(state) {}

 protected:
  bool OnInitDialog() override;
  LRESULT OnNotify(NMHDR& header, bool& handled) override;

 private:
  AccountSheetState& state_;
};

}  // namespace tarn::ui
