// The rules of the wizard's first page, "Create user account": the new
// user's name and password, administrator rights, owner, organisation,
// computer name, workgroup, automatic logon and whether the user logged on
// now installs instead. Every edit goes straight into the configuration and
// the primary account record; the model keeps no text of its own, so a
// password typed here lives only where the run reads it (and wipes it).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "app/name_rules.h"
#include "base/text.h"

namespace tarn::app {
struct InstallConfig;
class Translator;
}  // namespace tarn::app
namespace tarn::accounts {
struct AccountStore;
struct UserAccount;
}  // namespace tarn::accounts
namespace tarn::platform {
struct Platform;
}

namespace tarn::wizard {

// The page's text fields; each edits one field of the configuration.
enum class SettingsField { kUser, kPassword, kConfirm, kOwner, kOrg, kComputer, kWorkgroup };

// A check box's state.
enum class BoxState { kUnchecked, kChecked, kIndeterminate };

// The name rules live with the program-wide state, where the checker of
// configurations finds them too.
using app::CheckComputerName;
using app::CheckUserName;
using app::NameCheck;

// A balloon shown on a field: the control and the numbers of its texts.
struct SettingsBalloon {
  int control = 0;
  uint32_t title = 0;
  uint32_t text = 0;
};

struct SettingsValidation {
  bool valid = false;
  std::optional<SettingsBalloon> balloon;
};

// What the check boxes show and which controls are enabled.
struct SettingsView {
  bool useCurrent = false;   // box "Use currently logged on user"
  bool adminRights = false;  // box "Add administrator rights"
  BoxState autoLogon = BoxState::kIndeterminate;
  bool accountControlsEnabled = true;  // the new user's name, passwords, admin box
  bool logonBoxesEnabled = true;       // automatic logon and use-current boxes
};

// Where the automatic start goes on to: the software page, or the status
// page when the software is not chosen.
struct AutomaticStart {
  int nextPage = 0;
};

// Where the three check boxes go when the page is resized (pixels).
struct BoxStack {
  // Tops of the boxes use-current, automatic logon, admin rights.
  std::array<int32_t, 3> tops{};
};

// Tops of the three boxes stacked from the bottom of a page `pageHeight`
// high, in the order use-current (lowest), automatic logon, admin rights,
// each keeping its height.
[[nodiscard]] BoxStack StackBoxes(int32_t pageHeight, const std::array<int32_t, 3>& heights);

class SettingsPageModel {
 public:
  // Both must outlive the model.
  SettingsPageModel(app::InstallConfig& config, accounts::AccountStore& store);

  // The page is created: computer name, workgroup, owner and organisation
  // come from the system where empty, and the primary account and the
  // fields are made to agree (a field's text given to the primary account,
  // an empty field taking the account's).
  [[nodiscard]] SettingsView Init(const platform::Platform& platform);
  // The page is shown (again): the fields show the primary account's name
  // and password, or the use-current box is checked when there is none.
  [[nodiscard]] SettingsView SetActive();

  // A field was edited: its text is stored, cut to the field's capacity.
  void ChangeField(SettingsField field, TextView text);
  // The use-current box was clicked to `checked`. Unchecking without an
  // account of this page checks it again.
  [[nodiscard]] SettingsView SetUseCurrent(bool checked);
  // The admin-rights box was clicked: the primary account's group.
  void SetAdminRights(bool checked);
  // The automatic-logon box was clicked.
  void SetAutoLogon(BoxState state);

  // Whether Next may be enabled, and the one balloon to show.
  [[nodiscard]] SettingsValidation Validate() const;

  // The text number of a check box's tip (0 for another control).
  [[nodiscard]] uint32_t TipNumber(int control) const;
  // A check box's tip, formatted with the new user's name where it names it.
  [[nodiscard]] Text TipText(int control, app::Translator& translator) const;

  // The automatic start: without a new user's name the account the program
  // runs as (`runningUser`) installs; the delay is spent.
  [[nodiscard]] AutomaticStart ApplyAutomaticStart(TextView runningUser);

  // The configuration text a field shows; valid until the next change.
  [[nodiscard]] const Text& FieldText(SettingsField field) const;
  [[nodiscard]] const SettingsView& view() const { return view_; }

 private:
  void ShowAccount(const accounts::UserAccount& account);
  [[nodiscard]] SettingsView UseCurrentChecked();

  app::InstallConfig& config_;
  accounts::AccountStore& store_;
  SettingsView view_;
};

}  // namespace tarn::wizard
