#include "wizard/settings_page_model.h"

#include <algorithm>

#include "accounts/user_account.h"
#include "app/install_config.h"
#include "app/translator.h"
#include "base/format.h"
#include "platform/platform.h"
#include "platform/system_info.h"
#include "resource.h"
#include "run/installation_variables.h"

namespace tarn::wizard {

namespace {

app::AutoLogonMode LogonModeOf(BoxState state) {
  switch (state) {
    case BoxState::kChecked:
      return app::AutoLogonMode::kOn;
    case BoxState::kUnchecked:
      return app::AutoLogonMode::kRemove;
    case BoxState::kIndeterminate:
      break;
  }
  return app::AutoLogonMode::kUnchanged;
}

BoxState BoxOf(app::AutoLogonMode mode) {
  switch (mode) {
    case app::AutoLogonMode::kOn:
      return BoxState::kChecked;
    case app::AutoLogonMode::kRemove:
      return BoxState::kUnchecked;
    case app::AutoLogonMode::kUnchanged:
      break;
  }
  return BoxState::kIndeterminate;
}

}  // namespace

BoxStack StackBoxes(int32_t pageHeight, const std::array<int32_t, 3>& heights) {
  BoxStack stack;
  int32_t bottom = pageHeight;
  for (size_t i = 0; i < heights.size(); ++i) {
    bottom -= heights[i];
    stack.tops[i] = bottom;
  }
  return stack;
}

SettingsPageModel::SettingsPageModel(app::InstallConfig& config, accounts::AccountStore& store)
    : config_(config), store_(store) {}

SettingsView SettingsPageModel::Init(const platform::Platform& platform) {
  if (config_.Computer.empty()) {
    const Result<Text> name = platform.system->ComputerName();
    if (name.ok()) config_.Computer = *name;
  }
  if (config_.Workgroup.empty()) (void)run::FillWorkgroupFromSystem(platform, config_.Workgroup);
  view_.autoLogon = BoxOf(config_.AutoLogon);
  view_.logonBoxesEnabled = config_.SecondaryLogonRunning;

  accounts::UserAccount* primary = store_.list.FindPrimary();
  if (primary != nullptr) {
    if (config_.User.empty()) config_.User = primary->Name.view();
    if (config_.UserPwd.empty()) config_.UserPwd = primary->Password.view();
    view_.adminRights = primary->Group == accounts::kGroupAdministrators;
    view_.useCurrent = false;
    view_.accountControlsEnabled = true;
  } else {
    view_ = UseCurrentChecked();
  }
  (void)run::FillOwnerFromRegistry(platform, config_.Owner.empty() ? &config_.Owner : nullptr,
                                   config_.Org.empty() ? &config_.Org : nullptr);
  // The fields now show the configuration; what they show is what the
  // confirmation and the primary account hold.
  config_.UserPwdConfirm = config_.UserPwd.view();
  if (primary != nullptr) {
    primary->Name = config_.User.view();
    primary->Password = config_.UserPwd.view();
  }
  return view_;
}

SettingsView SettingsPageModel::SetActive() {
  accounts::UserAccount* primary = store_.list.FindPrimary();
  if (primary == nullptr) {
    view_.useCurrent = true;
    view_.accountControlsEnabled = false;
    return view_;
  }
  ShowAccount(*primary);
  return view_;
}

void SettingsPageModel::ShowAccount(const accounts::UserAccount& account) {
  config_.User = account.Name.view();
  config_.UserPwd = account.Password.view();
  config_.UserPwdConfirm = account.Password.view();
  view_.adminRights = account.Group != accounts::kGroupUsers;
  view_.useCurrent = false;
  view_.accountControlsEnabled = true;
}

SettingsView SettingsPageModel::UseCurrentChecked() {
  if (accounts::UserAccount* primary = store_.list.FindPrimary()) primary->Primary = 0;
  view_.useCurrent = true;
  view_.accountControlsEnabled = false;
  return view_;
}

void SettingsPageModel::ChangeField(SettingsField field, TextView text) {
  accounts::UserAccount* primary = store_.list.FindPrimary();
  switch (field) {
    case SettingsField::kUser:
      config_.User = text;
      if (primary != nullptr) primary->Name = config_.User.view();
      return;
    case SettingsField::kPassword:
      config_.UserPwd = text;
      if (primary != nullptr) primary->Password = config_.UserPwd.view();
      return;
    case SettingsField::kConfirm:
      config_.UserPwdConfirm = text;
      return;
    case SettingsField::kOwner:
      config_.Owner = text;
      return;
    case SettingsField::kOrg:
      config_.Org = text;
      return;
    case SettingsField::kComputer:
      config_.Computer = text;
      return;
    case SettingsField::kWorkgroup:
      config_.Workgroup = text;
      return;
  }
}

SettingsView SettingsPageModel::SetUseCurrent(bool checked) {
  if (checked) return UseCurrentChecked();
  accounts::UserAccount* account = store_.list.FindSettingsAccount();
  if (account == nullptr) return UseCurrentChecked();
  store_.list.SetPrimary(*account);
  ShowAccount(*account);
  return view_;
}

void SettingsPageModel::SetAdminRights(bool checked) {
  view_.adminRights = checked;
  if (accounts::UserAccount* primary = store_.list.FindPrimary()) {
    primary->Group = checked ? accounts::kGroupAdministrators : accounts::kGroupUsers;
  }
}

void SettingsPageModel::SetAutoLogon(BoxState state) {
  view_.autoLogon = state;
  config_.AutoLogon = LogonModeOf(state);
}

SettingsValidation SettingsPageModel::Validate() const {
  if (config_.UserPwd.str() != config_.UserPwdConfirm.str()) return {};
  if (!view_.useCurrent) {
    const NameCheck user = CheckUserName(config_.User);
    if (user == NameCheck::kEmpty) return {};
    if (user == NameCheck::kBadCharacters) {
      return {false, SettingsBalloon{IDC_NEW_USER_EDIT, IDS_USER_NAME_INVALID_TITLE,
                                     IDS_USER_NAME_INVALID_TEXT}};
    }
  }
  const NameCheck computer = CheckComputerName(config_.Computer);
  if (computer == NameCheck::kEmpty) return {};
  if (computer == NameCheck::kBadCharacters) {
    return {false, SettingsBalloon{IDC_COMPUTER_EDIT, IDS_COMPUTER_NAME_INVALID_TITLE,
                                   IDS_COMPUTER_NAME_INVALID_TEXT}};
  }
  const NameCheck workgroup = CheckComputerName(config_.Workgroup);
  if (workgroup == NameCheck::kEmpty) return {};
  if (workgroup == NameCheck::kBadCharacters) {
    return {false, SettingsBalloon{IDC_WORKGROUP_EDIT, IDS_WORKGROUP_INVALID_TITLE,
                                   IDS_WORKGROUP_INVALID_TEXT}};
  }
  return {true, std::nullopt};
}

uint32_t SettingsPageModel::TipNumber(int control) const {
  switch (control) {
    case IDC_ADMIN_RIGHTS_CHECK:
      return IDS_ADMIN_RIGHTS_TIP;
    case IDC_AUTO_LOGON_CHECK:
      return view_.autoLogon == BoxState::kIndeterminate ? IDS_AUTO_LOGON_UNCHANGED_TIP
                                                         : IDS_AUTO_LOGON_TIP;
    case IDC_USE_CURRENT_CHECK:
      return IDS_USE_CURRENT_TIP;
    default:
      return 0;
  }
}

Text SettingsPageModel::TipText(int control, app::Translator& translator) const {
  const uint32_t number = TipNumber(control);
  if (number == 0) return {};
  const Text format = translator.Translate(number);
  if (number != IDS_ADMIN_RIGHTS_TIP) return format;
  return Format(format, {config_.User.view()});
}

AutomaticStart SettingsPageModel::ApplyAutomaticStart(TextView runningUser) {
  if (config_.User.empty()) {
    config_.User = runningUser;
    if (accounts::UserAccount* primary = store_.list.FindPrimary()) primary->Primary = 0;
  }
  config_.AutoInstallDelay = 0;
  return {config_.SkipSoftware ? IDD_STATUS_PAGE : IDD_SOFTWARE_PAGE};
}

const Text& SettingsPageModel::FieldText(SettingsField field) const {
  switch (field) {
    case SettingsField::kUser:
      return config_.User.str();
    case SettingsField::kPassword:
      return config_.UserPwd.str();
    case SettingsField::kConfirm:
      return config_.UserPwdConfirm.str();
    case SettingsField::kOwner:
      return config_.Owner.str();
    case SettingsField::kOrg:
      return config_.Org.str();
    case SettingsField::kComputer:
      return config_.Computer.str();
    case SettingsField::kWorkgroup:
      break;
  }
  return config_.Workgroup.str();
}

}  // namespace tarn::wizard
