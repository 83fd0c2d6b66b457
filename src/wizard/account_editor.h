// The rules of the account property sheet. The sheet edits a working copy
// kept outside the account list: the list sees nothing of an edit until OK,
// which commits the copy whole (a new record is added only then, and the
// "Primary" box takes effect only then); discarding the copy wipes its
// password and leaves the list exactly as it was.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "accounts/account_services.h"
#include "accounts/user_account.h"
#include "base/text.h"
#include "wizard/settings_page_model.h"

namespace tarn::app {
struct InstallConfig;
}

namespace tarn::wizard {

// The text fields of the "User account" page.
enum class AccountField {
  kName,
  kFullName,
  kComment,
  kPassword,
  kConfirm,
  kDomain,
  kHome,
  kProfile,
  kRoamingProfile
};

// The check boxes of the "User account" page.
enum class AccountBox {
  kKeepPassword,
  kPrimary,
  kAdmin,
  kNeverExpires,
  kCantChange,
  kMustChange,
  kDisabled,
  kRoaming,
  kWelcome
};

// The most characters a field takes as typed (its record field's capacity).
[[nodiscard]] size_t FieldCapacity(AccountField field);

// A balloon on one control: text numbers, the argument the text is formatted
// with (may be empty) and whether it warns or only informs.
struct AccountBalloon {
  int control = 0;
  uint32_t title = 0;
  uint32_t text = 0;
  Text argument;
  bool warning = true;
};

// What the "User account" page's boxes show and which controls are enabled.
struct AccountView {
  bool keepEnabled = false;
  bool keepChecked = false;
  bool passwordsEnabled = true;
  bool primary = false;
  bool primaryEnabled = true;
  BoxState admin = BoxState::kUnchecked;
  bool disabled = false;
  bool neverExpires = false;
  bool cantChange = false;
  bool mustChange = false;
  bool mustChangeEnabled = true;
  bool roaming = false;
  bool roamingPathEnabled = false;
  BoxState welcome = BoxState::kUnchecked;
};

// Whether OK may be enabled, and the one balloon to show.
struct AccountValidation {
  bool okEnabled = false;
  std::optional<AccountBalloon> balloon;
};

// A shell folder the "Shellfolder" page lists: its index and the number of
// its name text.
struct FolderItem {
  size_t index = 0;
  uint32_t nameText = 0;
};

// The destination field of a chosen folder.
struct FolderChoice {
  bool editable = false;
  Text path;
};

// After a destination was typed: the folder's description text and the
// balloon to show, if any.
struct FolderChange {
  uint32_t infoText = 0;
  std::optional<AccountBalloon> balloon;
};

// The variable dialog's buffered name and value, applied only on its OK.
struct VariableDraft {
  std::optional<size_t> row;  // none for a variable being added
  FixedText<127> name;
  FixedText<254> value;
  // OK is enabled while the name is not empty.
  [[nodiscard]] bool okEnabled() const { return !name.empty(); }
};

class AccountEditor {
 public:
  // Makes the working copy: the defaults of a new record when `record` is
  // nullptr, else a copy of `record` (which must be in `store`'s list). All
  // three must outlive the editor.
  AccountEditor(const accounts::AccountServices& services, accounts::AccountStore& store,
                const app::InstallConfig& config, accounts::UserAccount* record);
  ~AccountEditor();
  AccountEditor(const AccountEditor&) = delete;
  AccountEditor& operator=(const AccountEditor&) = delete;

  // The working copy the pages show.
  [[nodiscard]] const accounts::UserAccount& copy() const { return *copy_; }
  [[nodiscard]] bool isNew() const { return record_ == nullptr; }
  // The confirmation text the page shows beside the password.
  [[nodiscard]] const Text& confirmation() const { return confirm_; }

  // The "User account" page.
  [[nodiscard]] AccountView View() const;
  // A field was edited: its text is taken over whole, cut to its capacity.
  void ChangeField(AccountField field, TextView text);
  // A box was clicked to `state`; returns what the boxes show now. Ticking
  // "Keep current password" makes the password "*" whatever was typed (both
  // password fields show it); clearing it empties both fields for a new one.
  [[nodiscard]] AccountView SetBox(AccountBox box, BoxState state);
  // True when checking "disabled" must first be confirmed: the copy is the
  // account `loggedOnUser` runs as, and it is primary or no record is.
  [[nodiscard]] bool DisablingOwnAccount(TextView loggedOnUser) const;
  // Whether OK may be enabled: a valid name and, unless the current password
  // is kept, two equal passwords.
  [[nodiscard]] AccountValidation Validate() const;
  // The unformatted-drive balloon for the home or profile field.
  [[nodiscard]] std::optional<AccountBalloon> DriveBalloon(AccountField field) const;
  // An existing local account was chosen: the copy takes it over by name and
  // is filled from it.
  void TakeOverAccount(TextView name);

  // The "Shellfolder" page.
  [[nodiscard]] std::vector<FolderItem> FolderItems() const;
  [[nodiscard]] FolderChoice ChooseFolder(size_t index) const;
  // A destination was typed for folder `index`: stored as typed, and the
  // folder tree brought up to date.
  [[nodiscard]] FolderChange SetFolderPath(size_t index, TextView text);

  // The "Environment" page: the copy's variables in list order, and the
  // buffered edits of the variable dialog.
  [[nodiscard]] VariableDraft BeginVariable(std::optional<size_t> row) const;
  // Applies an accepted draft: changes its row, or adds a new variable at the
  // head. False when the draft's name is empty or the row is gone.
  [[nodiscard]] bool ApplyVariable(const VariableDraft& draft);
  void RemoveVariableAt(size_t row);

  // The balloon refusing OK when another record of the list is the same
  // account (same name or same existing account); none when OK may go on.
  [[nodiscard]] std::optional<AccountBalloon> Refusal() const;
  // OK: commits the copy into the list and returns the record shown
  // afterwards; nullptr (nothing changed) when Refusal() has a balloon.
  [[nodiscard]] accounts::UserAccount* Commit();
  // Cancel: the copy and its password are wiped; the list is untouched.
  void Discard();

 private:
  // "Keep current password" ticked (`keep`) or cleared.
  void KeepPassword(bool keep);

  const accounts::AccountServices& services_;
  accounts::AccountStore& store_;
  const app::InstallConfig& config_;
  accounts::UserAccount* record_;
  // The working copy lives in a list of its own, apart from the store's.
  accounts::UserAccountList scratch_;
  accounts::UserAccount* copy_ = nullptr;
  Text confirm_;
};

}  // namespace tarn::wizard
