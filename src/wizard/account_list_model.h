// The user account list page without its window: which accounts it shows and
// how, what its buttons and shortcut menu offer for a selection, and what
// removing, marking for deletion, editing and loading another users file do
// to the account list. Questions to the user go out through a callback; the
// model never waits on anyone itself.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "accounts/account_services.h"
#include "accounts/user_account.h"
#include "base/text.h"
#include "wizard/frame_layout.h"

namespace tarn::app {
struct InstallConfig;
}

namespace tarn::wizard {

// Images of the list's image list, in its order.
inline constexpr int kImageNewAccount = 0;
inline constexpr int kImageNewDisabled = 1;
inline constexpr int kImageExistingAccount = 2;
inline constexpr int kImageExistingDisabled = 3;
inline constexpr int kImageDeletedAccount = 4;

// True when the list shows `account`: the settings page's own account only
// while it is the primary one.
[[nodiscard]] bool IsShownInList(const accounts::UserAccount& account);

// The row image of `account`: deleted, else new or existing, each plain or
// disabled.
[[nodiscard]] int ImageOf(const accounts::UserAccount& account);

// Where the list and the four buttons go on a page of `page` size with
// buttons of `button` size: the buttons on the bottom edge, Load on the
// left, Properties, Remove and Create on the right, the list above them;
// the gaps (8 and 10 pixels at 96 DPI) at `dpi`.
struct AccountPageLayout {
  Rect list;
  Rect load;
  Rect properties;
  Rect remove;
  Rect create;
};
[[nodiscard]] AccountPageLayout LayOutAccountPage(Size page, Size button, uint32_t dpi);

// One row: its record and what the two columns and the image show.
struct AccountRow {
  accounts::UserAccount* record = nullptr;
  Text name;
  Text comment;
  int image = kImageNewAccount;
};

// Remove and Properties act on a selection; Create and Load never need one.
struct AccountButtons {
  bool properties = false;
  bool remove = false;
};

// The shortcut menu's items. "Create user account" is always enabled and
// "Properties" is always the default item.
struct AccountMenu {
  bool removeEnabled = false;
  bool deleteEnabled = false;
  bool deleteChecked = false;
  bool propertiesEnabled = false;
};

// A question about the logged-on user's own account: `text` is the
// translation number (disable or delete warning), formatted with `name`.
struct LockOutQuestion {
  accounts::UserAccount* record = nullptr;
  uint32_t text = 0;
  Text name;
};

// Asks `question`; true keeps the planned change (any answer but No, or no
// answer in time), false drops it.
using ConfirmLockOut = std::function<bool(const LockOutQuestion& question)>;

enum class UsersLoadOutcome {
  kLoaded,
  kUnreadable,  // the file cannot be read (or its path is too long): nothing changed
};

// A new record that names an account the computer already has, whose
// details were not taken over: `existing` holds them, ready to merge.
struct ExistingAccountMatch {
  Text name;
  std::shared_ptr<accounts::UserAccount> existing;
};

class AccountListModel {
 public:
  // `loggedOnUser` is the name the program runs under. All must outlive the model.
  AccountListModel(const accounts::AccountServices& services, accounts::AccountStore& store,
                   app::InstallConfig& config, Text loggedOnUser);

  [[nodiscard]] const std::vector<AccountRow>& rows() const { return rows_; }
  [[nodiscard]] const Text& loggedOnUser() const { return loggedOnUser_; }

  // Rebuilds the rows from the list, head first, after bringing the primary
  // account's `Exists` up to date with the computer.
  const std::vector<AccountRow>& Rebuild();

  // The warnings when the page opens, about the record named like the
  // logged-on user while it installs (or nobody does): disabled, then
  // deleted. A question answered No clears that state.
  void WarnAtStart(const ConfirmLockOut& confirm);

  [[nodiscard]] static AccountButtons ButtonsFor(bool anySelected);

  // The menu for a click on row `row`, or on empty space (none) with
  // `selectionMark` the row of the selection mark and `anySelected`.
  [[nodiscard]] AccountMenu MenuFor(std::optional<size_t> row, std::optional<size_t> selectionMark,
                                    bool anySelected) const;

  // Appends the row of a record just added to the list, when it is shown.
  void AppendRow(accounts::UserAccount& record);

  // Removes the `selected` rows (indexes into rows()) with their records;
  // the primary account's row stays. Returns the rows removed.
  size_t Remove(std::span<const size_t> selected);

  // "Delete user account" on the `selected` rows: with `checked` the marks
  // are taken back, otherwise set, asking before the logged-on user's own
  // account is marked; the primary account is never marked while it is
  // primary.
  void ToggleDeleted(std::span<const size_t> selected, bool checked, const ConfirmLockOut& confirm);

  // After the property sheet changed row `row` (`wasPrimary`: its record
  // was primary before): refreshes the row, drops the rows the settings
  // account no longer has, then repeats the lock-out warnings for the
  // logged-on user's record.
  void AfterEdit(size_t row, bool wasPrimary, const ConfirmLockOut& confirm);

  // A record the property sheet just created and added to the list. When
  // its details were not looked up and its name is an account of the
  // computer, returns that account's details for the user to decide on
  // (MergeExisting or KeepAsTyped); otherwise it is added as it is.
  [[nodiscard]] std::optional<ExistingAccountMatch> AfterCreate(accounts::UserAccount& record);

  // The user agreed: the record describes the existing account, and each
  // field left empty takes its value.
  static void MergeExisting(accounts::UserAccount& record, const ExistingAccountMatch& match);

  // The user declined: the record keeps what was typed but describes the
  // existing account, so that the run changes it instead of failing to
  // create it.
  static void KeepAsTyped(accounts::UserAccount& record, const ExistingAccountMatch& match);

  // Reads the users section of `path` into a list aside; only when the file
  // can be read does that list (with its defaults) replace the present one
  // and `UsersPath` become `path`. The primary account read, or a new one,
  // becomes the settings account with `settingsComment` when it has no
  // description; then the rows are rebuilt.
  [[nodiscard]] UsersLoadOutcome LoadUsers(TextView path, TextView settingsComment);

 private:
  // The record of the logged-on user's name when it installs or nobody does.
  [[nodiscard]] accounts::UserAccount* OwnInstallingAccount();
  void UpdatePrimaryExists(accounts::UserAccount& primary) const;
  void RefreshRow(AccountRow& row) const;
  [[nodiscard]] LockOutQuestion QuestionFor(accounts::UserAccount& record, uint32_t text) const;

  const accounts::AccountServices& services_;
  accounts::AccountStore& store_;
  app::InstallConfig& config_;
  Text loggedOnUser_;
  std::vector<AccountRow> rows_;
};

}  // namespace tarn::wizard
