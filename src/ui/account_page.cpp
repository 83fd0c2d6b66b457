#include <array>

#include "app/app_context.h"
#include "base/format.h"
#include "base/wipe.h"
#include "platform/environment.h"
#include "platform/system_info.h"
#include "platform/win32/win32_text.h"
#include "ui/account_chooser.h"
#include "ui/account_sheet_pages.h"
#include "ui/translate_ui.h"

namespace tarn::ui {

namespace {

using wizard::AccountBox;
using wizard::AccountField;
using wizard::BoxState;

struct FieldControl {
  int id;
  AccountField field;
};

constexpr std::array<FieldControl, 9> kFields = {{
    {IDC_NAME_EDIT, AccountField::kName},
    {IDC_FULL_NAME_EDIT, AccountField::kFullName},
    {IDC_DESCRIPTION_EDIT, AccountField::kComment},
    {IDC_PASSWORD_EDIT, AccountField::kPassword},
    {IDC_CONFIRM_EDIT, AccountField::kConfirm},
    {IDC_DOMAIN_EDIT, AccountField::kDomain},
    {IDC_HOME_EDIT, AccountField::kHome},
    {IDC_PROFILE_EDIT, AccountField::kProfile},
    {IDC_ROAMING_PROFILE_EDIT, AccountField::kRoamingProfile},
}};

struct BoxControl {
  int id;
  AccountBox box;
};

constexpr std::array<BoxControl, 9> kBoxes = {{
    {IDC_KEEP_PASSWORD_CHECK, AccountBox::kKeepPassword},
    {IDC_PRIMARY_CHECK, AccountBox::kPrimary},
    {IDC_ACCOUNT_ADMIN_CHECK, AccountBox::kAdmin},
    {IDC_NEVER_EXPIRES_CHECK, AccountBox::kNeverExpires},
    {IDC_CANT_CHANGE_CHECK, AccountBox::kCantChange},
    {IDC_MUST_CHANGE_CHECK, AccountBox::kMustChange},
    {IDC_DISABLED_CHECK, AccountBox::kDisabled},
    {IDC_ROAMING_CHECK, AccountBox::kRoaming},
    {IDC_WELCOME_CHECK, AccountBox::kWelcome},
}};

// The placeholders a path typed on the sheet keeps as written while other
// variables in it are expanded.
constexpr std::array<const char16_t*, 3> kPlaceholders = {u"ThisProfile", u"ThisHome", u"ThisUser"};

UINT ButtonState(BoxState state) {
  if (state == BoxState::kChecked) return BST_CHECKED;
  if (state == BoxState::kIndeterminate) return BST_INDETERMINATE;
  return BST_UNCHECKED;
}

BoxState ModelState(UINT state) {
  if (state == BST_CHECKED) return BoxState::kChecked;
  if (state == BST_INDETERMINATE) return BoxState::kIndeterminate;
  return BoxState::kUnchecked;
}

UINT Checked(bool on) {
  return on ? BST_CHECKED : BST_UNCHECKED;
}

}  // namespace

AccountPage::AccountPage(AccountSheetState& state) : PropertyPage(IDD_ACCOUNT), state_(state) {}

bool AccountPage::OnInitDialog() {
  SetPropW(window(), kUserDataProperty, &state_);
  for (const FieldControl& field : kFields) {
    SendMessageW(Control(field.id), EM_LIMITTEXT, wizard::FieldCapacity(field.field), 0);
  }
  platform::Environment& environment = *state_.session.app.platform.environment;
  for (const char16_t* name : kPlaceholders) {
    const Text reference = Text(u"%") + name + u"%";
    (void)environment.Set(name, TextView(reference));
  }
  TranslateDialog(window(), IDD_ACCOUNT, state_.session.app.translator);
  TranslateSheetButtons(sheet(), state_.session.app.translator);
  (void)balloon_.Create(window());
  Fill();
  return true;
}

void AccountPage::Fill() {
  const accounts::UserAccount& copy = state_.editor.copy();
  filling_ = true;
  SetControlText(Control(IDC_NAME_EDIT), copy.Name.view());
  SetControlText(Control(IDC_OLD_NAME_OUTPUT), copy.OldName.view());
  SetControlText(Control(IDC_FULL_NAME_EDIT), copy.FullName.view());
  SetControlText(Control(IDC_DESCRIPTION_EDIT), copy.Comment.view());
  SetControlText(Control(IDC_DOMAIN_EDIT), copy.Domain.view());
  FillPasswords();
  SetControlText(Control(IDC_HOME_EDIT), copy.Home.view());
  SetControlText(Control(IDC_PROFILE_EDIT), copy.Profile.view());
  SetControlText(Control(IDC_ROAMING_PROFILE_EDIT), copy.RoamingProfile.view());
  filling_ = false;
  ShowView(state_.editor.View());
  if (!state_.editor.isNew()) {
    const Text title =
        Format(state_.session.app.translator.Translate(IDS_ACCOUNT_CAPTION), {copy.Name.view()});
    const std::wstring wide = win32::Wide(title);
    SendMessageW(sheet(), PSM_SETTITLEW, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
  ReinitOtherPages();
  Validate();
}

void AccountPage::FillPasswords() {
  const bool filling = filling_;
  filling_ = true;
  SetControlText(Control(IDC_PASSWORD_EDIT), state_.editor.copy().Password.view());
  SetControlText(Control(IDC_CONFIRM_EDIT), state_.editor.confirmation());
  filling_ = filling;
}

void AccountPage::ShowView(const wizard::AccountView& view) {
  const HWND page = window();
  CheckDlgButton(page, IDC_KEEP_PASSWORD_CHECK, Checked(view.keepChecked));
  EnableWindow(Control(IDC_KEEP_PASSWORD_CHECK), view.keepEnabled);
  EnableWindow(Control(IDC_PASSWORD_EDIT), view.passwordsEnabled);
  EnableWindow(Control(IDC_CONFIRM_EDIT), view.passwordsEnabled);
  CheckDlgButton(page, IDC_PRIMARY_CHECK, Checked(view.primary));
  EnableWindow(Control(IDC_PRIMARY_CHECK), view.primaryEnabled);
  CheckDlgButton(page, IDC_ACCOUNT_ADMIN_CHECK, ButtonState(view.admin));
  CheckDlgButton(page, IDC_DISABLED_CHECK, Checked(view.disabled));
  CheckDlgButton(page, IDC_NEVER_EXPIRES_CHECK, Checked(view.neverExpires));
  CheckDlgButton(page, IDC_CANT_CHANGE_CHECK, Checked(view.cantChange));
  CheckDlgButton(page, IDC_MUST_CHANGE_CHECK, Checked(view.mustChange));
  EnableWindow(Control(IDC_MUST_CHANGE_CHECK), view.mustChangeEnabled);
  CheckDlgButton(page, IDC_ROAMING_CHECK, Checked(view.roaming));
  EnableWindow(Control(IDC_ROAMING_PROFILE_EDIT), view.roamingPathEnabled);
  CheckDlgButton(page, IDC_WELCOME_CHECK, ButtonState(view.welcome));
}

void AccountPage::ReinitOtherPages() {
  for (int index = 1; index <= 2; ++index) {
    const auto page = reinterpret_cast<HWND>(SendMessageW(sheet(), PSM_INDEXTOHWND, index, 0));
    if (page != nullptr) SendMessageW(page, kRefillPageMessage, 0, 0);
  }
}

void AccountPage::FieldChanged(int id, HWND control) {
  if (filling_) return;
  for (const FieldControl& field : kFields) {
    if (field.id != id) continue;
    Text text = ControlText(control);
    state_.editor.ChangeField(field.field, text);
    WipeText(text);
    if (field.field == AccountField::kHome || field.field == AccountField::kProfile) {
      ShowAccountBalloon(balloon_, window(), state_.session.app.translator,
                         state_.editor.DriveBalloon(field.field));
    } else if (field.field == AccountField::kRoamingProfile) {
      ShowView(state_.editor.View());
    } else {
      Validate();
    }
    return;
  }
}

void AccountPage::BoxClicked(int id) {
  for (const BoxControl& box : kBoxes) {
    if (box.id != id) continue;
    const BoxState state = ModelState(IsDlgButtonChecked(window(), id));
    if (box.box == AccountBox::kDisabled && state == BoxState::kChecked && !ConfirmDisable()) {
      CheckDlgButton(window(), id, BST_UNCHECKED);
      return;
    }
    ShowView(state_.editor.SetBox(box.box, state));
    // Keeping the password replaces what was typed, so the fields follow.
    if (box.box == AccountBox::kKeepPassword) FillPasswords();
    Validate();
    return;
  }
}

bool AccountPage::ConfirmDisable() {
  Result<Text> user = state_.session.app.platform.system->UserName();
  const Text name = user.ok() ? *user : Text();
  if (!state_.editor.DisablingOwnAccount(name)) return true;
  const Text question =
      Format(state_.session.app.translator.Translate(IDS_DISABLE_OWN_ACCOUNT), {name});
  const std::wstring wide = win32::Wide(question);
  const int answer =
      MessageBoxW(window(), wide.c_str(), L"Warning",
                  MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2 | MB_TASKMODAL | MB_TOPMOST);
  return answer == IDYES;
}

void AccountPage::ChooseAccount() {
  const std::optional<Text> name = ChooseLocalAccount(sheet(), state_.session);
  if (!name) return;
  state_.editor.TakeOverAccount(*name);
  Fill();
}

void AccountPage::Validate() {
  const wizard::AccountValidation result = state_.editor.Validate();
  EnableWindow(GetDlgItem(sheet(), IDOK), result.okEnabled);
  if (IsWindowVisible(window())) {
    ShowAccountBalloon(balloon_, window(), state_.session.app.translator, result.balloon);
  }
}

bool AccountPage::OnKillActive() {
  balloon_.Hide();
  return false;
}

LRESULT AccountPage::OnNotify(NMHDR& header, bool& handled) {
  handled = header.code == PSN_APPLY;
  if (!handled) return 0;
  const std::optional<wizard::AccountBalloon> refusal = state_.editor.Refusal();
  if (refusal) {
    PropSheet_SetCurSel(sheet(), nullptr, 0);
    ShowAccountBalloon(balloon_, window(), state_.session.app.translator, refusal);
    return PSNRET_INVALID_NOCHANGEPAGE;
  }
  state_.accepted = true;
  return PSNRET_NOERROR;
}

bool AccountPage::OnCommand(int id, int code, HWND control) {
  if (code == EN_CHANGE) {
    FieldChanged(id, control);
    return true;
  }
  if (code != BN_CLICKED) return false;
  if (id == IDC_CHOOSE_ACCOUNT_BUTTON) {
    ChooseAccount();
  } else {
    BoxClicked(id);
  }
  return true;
}

}  // namespace tarn::ui
