#include "accounts/user_account.h"

#include <iterator>

namespace tarn::accounts {

uint32_t NormaliseStatus(uint32_t status) {
  if ((status & (kUfDontExpirePasswd | kUfPasswdCantChange)) != 0) {
    status &= ~kUfPasswordExpired;
  }
  return status;
}

UserDefaults::~UserDefaults() {
  if (Password) Password->Wipe();
}

void UserDefaults::ResetRecordDefaults() {
  Domain.reset();
  FullName.reset();
  if (Password) Password->Wipe();
  Password.reset();
  Home.reset();
  Comment.reset();
  Script.reset();
  Profile.reset();
  RoamingProfile.reset();
  Status = kDefaultStatus;
  Group = kGroupUsers;
  Deleted = 0;
  ShowOnWelcome = kWelcomeUnchanged;
}

UserAccount& UserAccountList::AddBlank() {
  return records_.emplace_front();
}

void UserAccountList::RemoveAccount(const UserAccount* account) {
  for (auto it = records_.begin(); it != records_.end(); ++it) {
    if (&*it == account) {
      records_.erase(it);
      return;
    }
  }
}

void UserAccountList::RemoveAccountAt(size_t position) {
  if (position >= records_.size()) return;
  records_.erase(std::next(records_.begin(), static_cast<std::ptrdiff_t>(position)));
}

void UserAccountList::ClearAccounts() {
  records_.clear();
}

UserAccount* UserAccountList::AccountAt(size_t position) {
  if (position >= records_.size()) return nullptr;
  return &*std::next(records_.begin(), static_cast<std::ptrdiff_t>(position));
}

UserAccount* UserAccountList::FindByName(TextView name) {
  for (auto& record : records_) {
    if (EqualsIgnoreCase(record.Name.view(), name)) return &record;
  }
  return nullptr;
}

UserAccount* UserAccountList::FindByOldName(TextView oldName) {
  for (auto& record : records_) {
    if (EqualsIgnoreCase(record.OldName.view(), oldName)) return &record;
  }
  return nullptr;
}

UserAccount* UserAccountList::FindPrimary() {
  for (auto& record : records_) {
    if (record.Primary != 0) return &record;
  }
  return nullptr;
}

UserAccount* UserAccountList::FindSettingsAccount() {
  for (auto& record : records_) {
    if (record.SettingsAccount != 0) return &record;
  }
  return nullptr;
}

void UserAccountList::SetPrimary(UserAccount& account) {
  for (auto& record : records_) record.Primary = 0;
  account.Primary = 1;
}

}  // namespace tarn::accounts
