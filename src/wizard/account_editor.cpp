#include "wizard/account_editor.h"

#include <iterator>

#include "accounts/account_lookup.h"
#include "accounts/account_records.h"
#include "accounts/shell_folders.h"
#include "accounts/user_environment.h"
#include "app/install_config.h"
#include "base/paths.h"
#include "base/wipe.h"
#include "resource.h"
#include "wizard/account_folder_tree.h"

namespace tarn::wizard {

namespace {

using accounts::UserAccount;

void SetBit(uint32_t& status, uint32_t bit, bool on) {
  status = on ? (status | bit) : (status & ~bit);
}

BoxState BoxOf(int32_t value, int32_t checked, int32_t indeterminate) {
  if (value == checked) return BoxState::kChecked;
  if (value == indeterminate) return BoxState::kIndeterminate;
  return BoxState::kUnchecked;
}

int32_t ValueOf(BoxState state, int32_t checked, int32_t indeterminate) {
  if (state == BoxState::kChecked) return checked;
  if (state == BoxState::kIndeterminate) return indeterminate;
  return 0;
}

// A stored text and its capacity, the same for typing and storing.
template <size_t N>
void Store(FixedText<N>& field, TextView text) {
  field = text;
}

bool IsUnformatted(platform::FileSystem& files, TextView path) {
  return accounts::PathVolumeState(files, path) == platform::kErrorUnrecognizedVolume;
}

}  // namespace

size_t FieldCapacity(AccountField field) {
  switch (field) {
    case AccountField::kName:
      return decltype(UserAccount::Name)::kCapacity;
    case AccountField::kFullName:
      return decltype(UserAccount::FullName)::kCapacity;
    case AccountField::kComment:
      return decltype(UserAccount::Comment)::kCapacity;
    case AccountField::kPassword:
    case AccountField::kConfirm:
      return decltype(UserAccount::Password)::kCapacity;
    case AccountField::kDomain:
      return decltype(UserAccount::Domain)::kCapacity;
    case AccountField::kHome:
    case AccountField::kProfile:
    case AccountField::kRoamingProfile:
      break;
  }
  return accounts::kPathCapacity;
}

AccountEditor::AccountEditor(const accounts::AccountServices& services,
                             accounts::AccountStore& store, const app::InstallConfig& config,
                             UserAccount* record)
    : services_(services), store_(store), config_(config), record_(record) {
  copy_ = &scratch_.AddBlank();
  if (record != nullptr) {
    CopyAccount(*copy_, *record);
    copy_->EditPending = 0;
  } else {
    // The defaults are made in the store (which knows them) and moved out at once.
    UserAccount& fresh = accounts::NewAccount(services_, store_);
    CopyAccount(*copy_, fresh);
    store_.list.RemoveAccount(&fresh);
    copy_->EditPending = 1;
  }
  confirm_ = copy_->Password.str();
}

AccountEditor::~AccountEditor() {
  Discard();
}

void AccountEditor::Discard() {
  WipeText(confirm_);
  if (copy_ != nullptr) copy_->Password.Wipe();
  scratch_.ClearAccounts();
  copy_ = nullptr;
}

AccountView AccountEditor::View() const {
  const UserAccount& copy = *copy_;
  AccountView view;
  view.keepEnabled = copy.Exists != 0;
  view.keepChecked = view.keepEnabled && copy.PasswordGiven == 0;
  view.passwordsEnabled = !view.keepEnabled || copy.PasswordGiven != 0;
  view.primary = copy.Primary != 0;
  view.primaryEnabled = config_.SecondaryLogonRunning;
  view.admin = BoxOf(copy.Group, accounts::kGroupAdministrators, accounts::kGroupUnchanged);
  view.disabled = (copy.Status & accounts::kUfAccountDisable) != 0;
  view.neverExpires = (copy.Status & accounts::kUfDontExpirePasswd) != 0;
  view.cantChange = (copy.Status & accounts::kUfPasswdCantChange) != 0;
  view.mustChangeEnabled = !view.neverExpires && !view.cantChange;
  view.mustChange = view.mustChangeEnabled && (copy.Status & accounts::kUfPasswordExpired) != 0;
  view.roaming = copy.HasRoamingProfile != 0;
  view.roamingPathEnabled = view.roaming;
  view.welcome = BoxOf(copy.ShowOnWelcome, 1, accounts::kWelcomeUnchanged);
  return view;
}

void AccountEditor::ChangeField(AccountField field, TextView text) {
  UserAccount& copy = *copy_;
  switch (field) {
    case AccountField::kName:
      Store(copy.Name, text);
      if (record_ == nullptr && copy.Exists == 0) copy.OldName = copy.Name.view();
      return;
    case AccountField::kFullName:
      return Store(copy.FullName, text);
    case AccountField::kComment:
      return Store(copy.Comment, text);
    case AccountField::kPassword:
      Store(copy.Password, text);
      copy.PasswordGiven = copy.Password.view() == TextView(accounts::kKeepPassword) ? 0 : 1;
      return;
    case AccountField::kConfirm:
      WipeText(confirm_);
      confirm_ = CutToCapacity(text, FieldCapacity(field));
      return;
    case AccountField::kDomain:
      return Store(copy.Domain, text);
    case AccountField::kHome:
      return Store(copy.Home, text);
    case AccountField::kProfile:
      return Store(copy.Profile, text);
    case AccountField::kRoamingProfile:
      Store(copy.RoamingProfile, text);
      if (text.empty()) copy.HasRoamingProfile = 0;
      return;
  }
}

AccountView AccountEditor::SetBox(AccountBox box, BoxState state) {
  UserAccount& copy = *copy_;
  const bool on = state == BoxState::kChecked;
  switch (box) {
    case AccountBox::kKeepPassword:
      KeepPassword(on);
      break;
    case AccountBox::kPrimary:
      // Only the copy: the other records lose their flag on OK.
      copy.Primary = on ? 1 : 0;
      break;
    case AccountBox::kAdmin:
      copy.Group = ValueOf(state, accounts::kGroupAdministrators, accounts::kGroupUnchanged);
      break;
    case AccountBox::kNeverExpires:
      SetBit(copy.Status, accounts::kUfDontExpirePasswd, on);
      break;
    case AccountBox::kCantChange:
      SetBit(copy.Status, accounts::kUfPasswdCantChange, on);
      break;
    case AccountBox::kMustChange:
      SetBit(copy.Status, accounts::kUfPasswordExpired, on);
      break;
    case AccountBox::kDisabled:
      SetBit(copy.Status, accounts::kUfAccountDisable, on);
      break;
    case AccountBox::kRoaming:
      copy.HasRoamingProfile = on ? 1 : 0;
      break;
    case AccountBox::kWelcome:
      copy.ShowOnWelcome = ValueOf(state, 1, accounts::kWelcomeUnchanged);
      break;
  }
  // The system refuses "must change" beside "never expires" or "can't change".
  copy.Status = accounts::NormaliseStatus(copy.Status);
  return View();
}

void AccountEditor::KeepPassword(bool keep) {
  UserAccount& copy = *copy_;
  // Whatever was typed before is dropped: the run sets a password whenever
  // the record's text is not "*", so keeping must leave exactly that.
  WipeText(confirm_);
  if (keep) {
    copy.Password.Wipe();
    copy.Password = accounts::kKeepPassword;
    confirm_ = accounts::kKeepPassword;
    copy.PasswordGiven = 0;
    return;
  }
  // A new password is to be typed into the emptied fields.
  if (copy.Password.view() == TextView(accounts::kKeepPassword)) copy.Password.Wipe();
  copy.PasswordGiven = 1;
}

bool AccountEditor::DisablingOwnAccount(TextView loggedOnUser) const {
  const UserAccount& copy = *copy_;
  if (loggedOnUser.empty() || !EqualsIgnoreCase(copy.OldName.view(), loggedOnUser)) return false;
  if (copy.Primary != 0) return true;
  for (const UserAccount& other : store_.list) {
    if (&other != record_ && other.Primary != 0) return false;
  }
  return true;
}

AccountValidation AccountEditor::Validate() const {
  const UserAccount& copy = *copy_;
  AccountValidation result;
  const NameCheck name = CheckUserName(copy.Name.view());
  if (name == NameCheck::kBadCharacters) {
    result.balloon = AccountBalloon{
        IDC_NAME_EDIT, IDS_USER_NAME_INVALID_TITLE, IDS_USER_NAME_INVALID_TEXT, {}, true};
  }
  const bool passwordsAgree = copy.PasswordGiven == 0 || copy.Password.view() == confirm_;
  result.okEnabled = name == NameCheck::kValid && passwordsAgree;
  return result;
}

std::optional<AccountBalloon> AccountEditor::DriveBalloon(AccountField field) const {
  const bool home = field == AccountField::kHome;
  if (!home && field != AccountField::kProfile) return std::nullopt;
  const TextView path = home ? copy_->Home.view() : copy_->Profile.view();
  if (!IsUnformatted(*services_.platform.files, path)) return std::nullopt;
  return AccountBalloon{home ? IDC_HOME_EDIT : IDC_PROFILE_EDIT, IDS_UNFORMATTED_TITLE,
                        IDS_UNFORMATTED_TEXT, Text(path.substr(0, 2)), true};
}

void AccountEditor::TakeOverAccount(TextView name) {
  UserAccount& copy = *copy_;
  copy.Name = name;
  copy.OldName = name;
  copy.Domain = u"";
  (void)accounts::LookUpAccount(services_, copy);
  WipeText(confirm_);
  confirm_ = copy.Password.str();
}

std::vector<FolderItem> AccountEditor::FolderItems() const {
  std::vector<FolderItem> items;
  for (size_t index = 0; index < kShellFolderCount; ++index) {
    if ((config_.ShellFolderHideMask & (1u << index)) != 0) continue;
    items.push_back({index, static_cast<uint32_t>(IDS_SHELL_FOLDER_NAME_FIRST + index)});
  }
  return items;
}

FolderChoice AccountEditor::ChooseFolder(size_t index) const {
  if (index >= kShellFolderCount) return {};
  return {(config_.ShellFolderDisallowMask & (1u << index)) == 0, copy_->ShellFolders[index].str()};
}

FolderChange AccountEditor::SetFolderPath(size_t index, TextView text) {
  if (index >= kShellFolderCount) return {};
  RetypeShellFolder(*copy_, index, text);
  FolderChange change{static_cast<uint32_t>(IDS_SHELL_FOLDER_INFO_FIRST + index), std::nullopt};
  if (text.empty()) {
    change.balloon =
        AccountBalloon{IDC_DESTINATION_EDIT, IDS_EMPTY_PATH_TITLE, IDS_EMPTY_PATH_TEXT, {}, false};
    return change;
  }
  if (PathIsUnc(text)) {
    change.balloon = AccountBalloon{
        IDC_DESTINATION_EDIT, IDS_NETWORK_PATH_TITLE, IDS_NETWORK_PATH_TEXT, {}, true};
    return change;
  }
  Text tested(text);
  (void)ReplaceText(tested, accounts::kPathCapacity, u"%ThisProfile%", copy_->Profile.view());
  (void)ReplaceText(tested, accounts::kPathCapacity, u"%ThisHome%", copy_->Home.view());
  if (IsUnformatted(*services_.platform.files, tested)) {
    change.balloon = AccountBalloon{IDC_DESTINATION_EDIT, IDS_UNFORMATTED_TITLE,
                                    IDS_UNFORMATTED_TEXT, tested, true};
  }
  return change;
}

VariableDraft AccountEditor::BeginVariable(std::optional<size_t> row) const {
  VariableDraft draft;
  if (!row || *row >= copy_->Environment.size()) return draft;
  const accounts::UserVariable& variable = *std::next(copy_->Environment.begin(), *row);
  draft.row = row;
  draft.name = variable.name.view();
  draft.value = variable.value.view();
  return draft;
}

bool AccountEditor::ApplyVariable(const VariableDraft& draft) {
  if (!draft.okEnabled()) return false;
  if (!draft.row) {
    (void)accounts::AddVariable(*copy_, draft.name.view(), draft.value.view());
    return true;
  }
  if (*draft.row >= copy_->Environment.size()) return false;
  accounts::UserVariable& variable = *std::next(copy_->Environment.begin(), *draft.row);
  variable.name = draft.name.view();
  variable.value = draft.value.view();
  // What the administrator typed is the configuration's now.
  variable.fromHive = false;
  return true;
}

void AccountEditor::RemoveVariableAt(size_t row) {
  if (row >= copy_->Environment.size()) return;
  accounts::RemoveVariable(*copy_, &*std::next(copy_->Environment.begin(), row));
}

std::optional<AccountBalloon> AccountEditor::Refusal() const {
  const UserAccount& copy = *copy_;
  for (const UserAccount& other : store_.list) {
    if (&other == record_) continue;
    const bool sameName = EqualsIgnoreCase(other.Name.view(), copy.Name.view());
    const bool sameAccount =
        !copy.OldName.empty() && EqualsIgnoreCase(other.OldName.view(), copy.OldName.view());
    if (sameName || sameAccount) {
      return AccountBalloon{IDC_NAME_EDIT, IDS_DUPLICATE_ACCOUNT_TITLE, IDS_DUPLICATE_ACCOUNT_TEXT,
                            other.Name.str(), true};
    }
  }
  return std::nullopt;
}

UserAccount* AccountEditor::Commit() {
  if (copy_ == nullptr || Refusal()) return nullptr;
  UserAccount& copy = *copy_;
  UserAccount* target = record_;
  if (target == nullptr) {
    if (copy.Exists == 0) copy.OldName = copy.Name.view();
    copy.EditPending = 0;
    target = &store_.list.AddBlank();
  }
  CopyAccount(*target, copy);
  if (copy.Primary != 0) store_.list.SetPrimary(*target);
  Discard();
  return target;
}

}  // namespace tarn::wizard
