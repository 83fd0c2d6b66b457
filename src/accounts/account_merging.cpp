#include "accounts/account_merging.h"

#include "accounts/account_lookup.h"
#include "accounts/account_records.h"
#include "platform/security.h"
#include "platform/system_info.h"

namespace tarn::accounts {

Text BuiltinAdministratorName(const AccountServices& services) {
  const platform::Platform& platform = services.platform;
  auto user = platform.system->UserName();
  if (!user) return {};
  auto own = platform.security->LookupName(u"", *user);
  if (!own) return {};
  platform::Sid sid = own->sid;
  if (sid.subAuthorities.size() > 4) sid.subAuthorities[4] = platform::kRidAdministrator;
  auto administrator = platform.security->LookupSid(u"", sid);
  return administrator ? administrator->name : Text();
}

namespace {

// The record named (or formerly named) `name`, ignoring case; nullptr when
// none or when `name` is empty.
UserAccount* FindNamed(UserAccountList& list, TextView name) {
  if (name.empty()) return nullptr;
  if (UserAccount* found = list.FindByName(name)) return found;
  return list.FindByOldName(name);
}

void AdoptIfFound(UserAccountList& list, UserAccount*& candidate, TextView name) {
  UserAccount* found = FindNamed(list, name);
  if (found == nullptr) return;
  if (found != candidate) list.RemoveAccount(candidate);
  candidate = found;
}

}  // namespace

void MergeAdministrator(const AccountServices& services, AccountStore& store, TextView admin,
                        const std::optional<TextView>& adminPassword) {
  const Text builtin = BuiltinAdministratorName(services);
  UserAccount* candidate = &NewAccount(services, store);
  AdoptIfFound(store.list, candidate, admin);
  AdoptIfFound(store.list, candidate, builtin);
  candidate->OldName = builtin;
  candidate->Name = admin.empty() ? TextView(builtin) : admin;
  // The look-up marks the password as kept; a password given on the command
  // line is applied after it so that it is not lost.
  if (candidate->Exists == 0) LookUpAccount(services, *candidate);
  candidate->Password = adminPassword ? *adminPassword : TextView(kKeepPassword);
  candidate->PasswordGiven = candidate->Password.view() != kKeepPassword ? 1 : 0;
}

void MergeSettingsAccount(const AccountServices& services, AccountStore& store, bool useCurrent,
                          TextView comment) {
  UserAccount* account = store.list.FindPrimary();
  if (account == nullptr) account = &NewAccount(services, store);
  if (useCurrent) {
    account->Primary = 0;
  } else {
    if (account->Comment.empty()) account->Comment = comment;
    if (account->Status == 0) account->Status = kDefaultStatus;
    store.list.SetPrimary(*account);
  }
  account->SettingsAccount = 1;
}

}  // namespace tarn::accounts
