#include "wizard/account_list_model.h"

#include <algorithm>

#include "accounts/account_lookup.h"
#include "accounts/account_records.h"
#include "accounts/users_section.h"
#include "app/install_config.h"
#include "platform/file_system.h"
#include "resource.h"

namespace tarn::wizard {

namespace {

using accounts::UserAccount;

constexpr size_t kPathCapacity = 260;

bool IsDisabled(const UserAccount& account) {
  return (account.Status & accounts::kUfAccountDisable) != 0;
}

template <class Field>
void FillWhenEmpty(Field& field, const Field& from) {
  if (field.empty()) field = from.view();
}

void CopyDefaults(accounts::UserDefaults& target, const accounts::UserDefaults& source) {
  target.Domain = source.Domain;
  target.FullName = source.FullName;
  target.Password = source.Password;
  target.Home = source.Home;
  target.Comment = source.Comment;
  target.Script = source.Script;
  target.Profile = source.Profile;
  target.RoamingProfile = source.RoamingProfile;
  target.Status = source.Status;
  target.Group = source.Group;
  target.Deleted = source.Deleted;
  target.ShowOnWelcome = source.ShowOnWelcome;
  target.ShellFolders = source.ShellFolders;
}

// Replaces the records of `target` by copies of those of `source`, in the
// same order.
void ReplaceRecords(accounts::UserAccountList& target, const accounts::UserAccountList& source) {
  target.ClearAccounts();
  std::vector<const UserAccount*> records;
  for (const UserAccount& record : source) records.push_back(&record);
  // Each record goes to the head: the last one first keeps the order.
  for (auto it = records.rbegin(); it != records.rend(); ++it) {
    accounts::CopyAccount(target.AddBlank(), **it);
  }
}

}  // namespace

bool IsShownInList(const UserAccount& account) {
  return account.Primary != 0 || account.SettingsAccount == 0;
}

int ImageOf(const UserAccount& account) {
  if (account.Deleted != 0) return kImageDeletedAccount;
  const int image = IsDisabled(account) ? kImageNewDisabled : kImageNewAccount;
  return account.Exists != 0 ? image + 2 : image;
}

AccountPageLayout LayOutAccountPage(Size page, Size button, uint32_t dpi) {
  const int32_t kButtonGap = ScaledToDpi(8, dpi);
  const int32_t kListGap = ScaledToDpi(10, dpi);
  AccountPageLayout layout;
  const int32_t top = page.height - button.height;
  const auto at = [&](int32_t x) { return Rect{x, top, button.width, button.height}; };
  layout.create = at(page.width - button.width);
  layout.remove = at(layout.create.x - kButtonGap - button.width);
  layout.properties = at(layout.remove.x - kButtonGap - button.width);
  layout.load = at(0);
  layout.list = Rect{0, 0, page.width, std::max(0, top - kListGap)};
  return layout;
}

AccountListModel::AccountListModel(const accounts::AccountServices& services,
                                   accounts::AccountStore& store, app::InstallConfig& config,
                                   Text loggedOnUser)
    : services_(services), store_(store), config_(config), loggedOnUser_(std::move(loggedOnUser)) {}

const std::vector<AccountRow>& AccountListModel::Rebuild() {
  rows_.clear();
  for (UserAccount& record : store_.list) {
    if (!IsShownInList(record)) continue;
    if (record.Primary != 0) UpdatePrimaryExists(record);
    AccountRow& row = rows_.emplace_back();
    row.record = &record;
    RefreshRow(row);
  }
  return rows_;
}

void AccountListModel::UpdatePrimaryExists(UserAccount& primary) const {
  const bool exists = accounts::AccountExists(services_, primary.Name.view());
  if (primary.Exists != 0 && primary.SettingsAccount != 0 && !exists) {
    primary.Exists = 0;
    primary.OldName = u"";
  } else if (primary.Exists == 0 && exists) {
    primary.Exists = 1;
    primary.OldName = primary.Name.view();
  }
}

void AccountListModel::RefreshRow(AccountRow& row) const {
  row.name = row.record->Name.str();
  row.comment = row.record->Comment.str();
  row.image = ImageOf(*row.record);
}

void AccountListModel::AppendRow(UserAccount& record) {
  if (!IsShownInList(record)) return;
  AccountRow& row = rows_.emplace_back();
  row.record = &record;
  RefreshRow(row);
}

UserAccount* AccountListModel::OwnInstallingAccount() {
  UserAccount* own = store_.list.FindByName(loggedOnUser_);
  if (own == nullptr) return nullptr;
  const UserAccount* primary = store_.list.FindPrimary();
  return primary == nullptr || primary == own ? own : nullptr;
}

LockOutQuestion AccountListModel::QuestionFor(UserAccount& record, uint32_t text) const {
  return LockOutQuestion{&record, text, loggedOnUser_};
}

void AccountListModel::WarnAtStart(const ConfirmLockOut& confirm) {
  UserAccount* own = OwnInstallingAccount();
  if (own == nullptr) return;
  if (IsDisabled(*own) && !confirm(QuestionFor(*own, IDS_DISABLE_OWN_ACCOUNT))) {
    own->Status &= ~accounts::kUfAccountDisable;
  }
  if (own->Deleted != 0 && !confirm(QuestionFor(*own, IDS_DELETE_OWN_ACCOUNT))) own->Deleted = 0;
}

AccountButtons AccountListModel::ButtonsFor(bool anySelected) {
  return AccountButtons{anySelected, anySelected};
}

AccountMenu AccountListModel::MenuFor(std::optional<size_t> row,
                                      std::optional<size_t> selectionMark, bool anySelected) const {
  AccountMenu menu;
  const bool onRow = row && *row < rows_.size();
  const std::optional<size_t> target = onRow ? row : selectionMark;
  const UserAccount* record = target && *target < rows_.size() ? rows_[*target].record : nullptr;
  menu.removeEnabled = onRow || anySelected;
  menu.deleteChecked = menu.removeEnabled && record != nullptr && record->Deleted != 0;
  // The account that installs can't be deleted while it does; taking a mark
  // back is always possible.
  const bool primary = record != nullptr && record->Primary != 0;
  menu.deleteEnabled = menu.removeEnabled && (!primary || menu.deleteChecked);
  menu.propertiesEnabled = onRow;
  return menu;
}

size_t AccountListModel::Remove(std::span<const size_t> selected) {
  std::vector<size_t> doomed;
  for (const size_t index : selected) {
    if (index < rows_.size() && rows_[index].record->Primary == 0) doomed.push_back(index);
  }
  std::sort(doomed.begin(), doomed.end());
  doomed.erase(std::unique(doomed.begin(), doomed.end()), doomed.end());
  // From the last row up, so that the indexes still to go stay valid.
  for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) {
    store_.list.RemoveAccount(rows_[*it].record);
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(*it));
  }
  return doomed.size();
}

void AccountListModel::ToggleDeleted(std::span<const size_t> selected, bool checked,
                                     const ConfirmLockOut& confirm) {
  const bool hasPrimary = store_.list.FindPrimary() != nullptr;
  for (const size_t index : selected) {
    if (index >= rows_.size()) continue;
    UserAccount& record = *rows_[index].record;
    if (checked) {
      record.Deleted = 0;
    } else if (record.Primary != 0) {
      continue;
    } else if (!hasPrimary && EqualsIgnoreCase(record.OldName.view(), loggedOnUser_)) {
      if (confirm(QuestionFor(record, IDS_DELETE_OWN_ACCOUNT))) record.Deleted = 1;
    } else {
      record.Deleted = 1;
    }
    RefreshRow(rows_[index]);
  }
}

void AccountListModel::AfterEdit(size_t row, bool wasPrimary, const ConfirmLockOut& confirm) {
  if (row >= rows_.size()) return;
  UserAccount* edited = rows_[row].record;
  RefreshRow(rows_[row]);
  if (edited->SettingsAccount != 0 && edited->Primary == 0) {
    rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
  } else if (edited->Primary != 0 && !wasPrimary) {
    const auto settings = std::find_if(rows_.begin(), rows_.end(), [&](const AccountRow& r) {
      return r.record != edited && r.record->SettingsAccount != 0;
    });
    if (settings != rows_.end()) rows_.erase(settings);
  }
  UserAccount* own = OwnInstallingAccount();
  if (own == nullptr || !EqualsIgnoreCase(own->OldName.view(), loggedOnUser_)) return;
  if (own->Deleted != 0 && !confirm(QuestionFor(*own, IDS_DELETE_OWN_ACCOUNT))) own->Deleted = 0;
  if (IsDisabled(*own) && !confirm(QuestionFor(*own, IDS_DISABLE_OWN_ACCOUNT))) {
    own->Status &= ~accounts::kUfAccountDisable;
  }
  for (AccountRow& shown : rows_) {
    if (shown.record == own) RefreshRow(shown);
  }
}

std::optional<ExistingAccountMatch> AccountListModel::AfterCreate(UserAccount& record) {
  if (record.DetailsLoaded != 0 || record.Name.empty()) return std::nullopt;
  auto existing = std::make_shared<UserAccount>();
  existing->Name = record.Name.view();
  existing->OldName = record.OldName.empty() ? record.Name.view() : record.OldName.view();
  existing->Domain = record.Domain.view();
  if (!accounts::LookUpAccount(services_, *existing)) return std::nullopt;
  return ExistingAccountMatch{existing->OldName.str(), std::move(existing)};
}

void AccountListModel::MergeExisting(UserAccount& record, const ExistingAccountMatch& match) {
  const UserAccount& existing = *match.existing;
  FillWhenEmpty(record.FullName, existing.FullName);
  FillWhenEmpty(record.Comment, existing.Comment);
  FillWhenEmpty(record.Home, existing.Home);
  FillWhenEmpty(record.Script, existing.Script);
  FillWhenEmpty(record.Profile, existing.Profile);
  if (record.RoamingProfile.empty() && !existing.RoamingProfile.empty()) {
    record.RoamingProfile = existing.RoamingProfile.view();
    record.HasRoamingProfile = existing.HasRoamingProfile;
  }
  if (record.Password.empty()) {
    record.Password = accounts::kKeepPassword;
    record.PasswordGiven = 0;
  }
  KeepAsTyped(record, match);
}

void AccountListModel::KeepAsTyped(UserAccount& record, const ExistingAccountMatch& match) {
  record.Exists = 1;
  record.OldName = match.existing->OldName.view();
  record.DetailsLoaded = 1;
}

UsersLoadOutcome AccountListModel::LoadUsers(TextView path, TextView settingsComment) {
  // The users path has a fixed field; a longer one would name another file.
  if (path.empty() || path.size() >= kPathCapacity) return UsersLoadOutcome::kUnreadable;
  if (!services_.platform.files->ReadAll(path).ok()) return UsersLoadOutcome::kUnreadable;
  accounts::AccountStore loaded;
  loaded.defaults.ShellFolders = store_.defaults.ShellFolders;
  (void)accounts::ReadUsersSection(services_, path, &loaded);
  // The logged-on user installs until the settings page makes an account
  // primary again.
  UserAccount* settings = loaded.list.FindPrimary();
  if (settings == nullptr) settings = &accounts::NewAccount(services_, loaded);
  if (settings->Comment.empty()) settings->Comment = settingsComment;
  if (settings->Status == 0) settings->Status = accounts::kDefaultStatus;
  settings->Primary = 0;
  settings->SettingsAccount = 1;
  ReplaceRecords(store_.list, loaded.list);
  CopyDefaults(store_.defaults, loaded.defaults);
  config_.UsersPath = path;
  Rebuild();
  return UsersLoadOutcome::kLoaded;
}

}  // namespace tarn::wizard
