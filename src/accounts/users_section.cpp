#include "accounts/users_section.h"

#include <climits>
#include <optional>

#include "accounts/account_lookup.h"
#include "accounts/account_records.h"
#include "accounts/password_scrambling.h"
#include "accounts/shell_folder_table.h"
#include "accounts/user_environment.h"
#include "base/format.h"
#include "base/wipe.h"
#include "platform/environment.h"
#include "platform/profile_files.h"

namespace tarn::accounts {

namespace {

// GetInt answers this only when a key is missing.
constexpr int32_t kMissing = INT_MIN;

class UsersReader {
 public:
  UsersReader(const AccountServices& services, TextView file)
      : services_(services), profiles_(*services.platform.profiles), file_(file) {}

  // The key's text (511 characters at most); empty when missing.
  Text ReadText(TextView key) {
    return profiles_.GetString(file_, kUsersSection, key, u"", kUsersTextCapacity).data;
  }
  Text Numbered(TextView base, int32_t n) { return ReadText(Format(u"%s.%d", {base, n})); }
  std::optional<int32_t> Int(TextView key) {
    const int32_t value = profiles_.GetInt(file_, kUsersSection, key, kMissing);
    if (value == kMissing) return std::nullopt;
    return value;
  }
  std::optional<int32_t> NumberedInt(TextView base, int32_t n) {
    return Int(Format(u"%s.%d", {base, n}));
  }
  void SetVariable(TextView name, TextView value) {
    if (services_.platform.environment) (void)services_.platform.environment->Set(name, value);
  }

  const AccountServices& services() const { return services_; }
  platform::ProfileFiles& profiles() { return profiles_; }
  TextView file() const { return file_; }

 private:
  const AccountServices& services_;
  platform::ProfileFiles& profiles_;
  TextView file_;
};

template <class Field>
void SetDefaultText(UsersReader& reader, TextView key, std::optional<Field>& field) {
  Text value = reader.ReadText(key);
  if (!value.empty()) field = Field(value);
  WipeText(value);
}

void ReadDefaults(UsersReader& reader, UserDefaults& defaults) {
  SetDefaultText(reader, u"Home", defaults.Home);
  if (defaults.Home && !defaults.Home->empty()) reader.SetVariable(u"Home", defaults.Home->view());
  SetDefaultText(reader, u"Domain", defaults.Domain);
  SetDefaultText(reader, u"FullName", defaults.FullName);
  SetDefaultText(reader, u"Comment", defaults.Comment);
  SetDefaultText(reader, u"RoamingProfile", defaults.RoamingProfile);
  SetDefaultText(reader, u"Profile", defaults.Profile);
  SetDefaultText(reader, u"Script", defaults.Script);
  SetDefaultText(reader, u"Password", defaults.Password);
  defaults.Deleted = reader.Int(u"deleted").value_or(defaults.Deleted);
  defaults.Status =
      static_cast<uint32_t>(reader.Int(u"Status").value_or(static_cast<int32_t>(defaults.Status)));
  defaults.Group = reader.Int(u"Group").value_or(defaults.Group);
  defaults.ShowOnWelcome = reader.Int(u"ShowOnWelcome").value_or(defaults.ShowOnWelcome);
}

int32_t CountAccounts(UsersReader& reader) {
  int32_t count = 0;
  while (count < kMaxAccounts && !reader.Numbered(u"User", count).empty()) ++count;
  return count;
}

int32_t PrimaryNumber(UsersReader& reader) {
  if (auto primary = reader.Int(u"primary")) return *primary;
  return reader.Int(u"default").value_or(-1);
}

// A non-empty key value replaces the field; a missing or empty one leaves it.
template <class Field>
bool TakeText(UsersReader& reader, TextView base, int32_t n, Field& field) {
  const Text value = reader.Numbered(base, n);
  if (value.empty()) return false;
  field = value;
  return true;
}

void ReadPassword(UsersReader& reader, int32_t n, const UserDefaults& defaults,
                  UserAccount& account) {
  const int32_t crypted = reader.NumberedInt(u"crypted", n).value_or(0);
  if (crypted != 0) {
    auto password =
        ReadScrambledPassword(reader.profiles(), reader.file(), n, crypted, kReadBufferBytes);
    if (password) {
      account.Password = *password;
      WipeText(*password);
    } else if (account.Exists == 0 && defaults.Password) {
      account.Password = defaults.Password->view();
    }
  } else {
    Text password = reader.Numbered(u"Password", n);
    if (!password.empty()) account.Password = password;
    WipeText(password);
  }
  account.PasswordGiven = account.Password.view() != kKeepPassword ? 1 : 0;
}

void ReadTextsAndNumbers(UsersReader& reader, int32_t n, const UserDefaults& defaults,
                         UserAccount& account) {
  TakeText(reader, u"FullName", n, account.FullName);
  TakeText(reader, u"Home", n, account.Home);
  reader.SetVariable(u"ThisHome", account.Home.view());
  TakeText(reader, u"Profile", n, account.Profile);
  reader.SetVariable(u"ThisProfile", account.Profile.view());
  if (TakeText(reader, u"RoamingProfile", n, account.RoamingProfile)) {
    account.HasRoamingProfile = 1;
  } else if (account.Exists == 0 && defaults.RoamingProfile) {
    account.HasRoamingProfile = 1;
  }
  TakeText(reader, u"Comment", n, account.Comment);
  if (!TakeText(reader, u"Script", n, account.Script) && defaults.Script) {
    account.Script = defaults.Script->view();
  }
  account.Group = reader.NumberedInt(u"Group", n).value_or(account.Group);
  account.Status = NormaliseStatus(static_cast<uint32_t>(
      reader.NumberedInt(u"Status", n).value_or(static_cast<int32_t>(account.Status))));
  account.ShowOnWelcome = reader.NumberedInt(u"ShowOnWelcome", n).value_or(account.ShowOnWelcome);
}

void ReadFolders(UsersReader& reader, int32_t n, UserAccount& account) {
  for (size_t i = 0; i < kShellFolderCount; ++i) {
    TakeText(reader, ShellFolderNames()[i], n, account.ShellFolders[i]);
  }
}

void ReadAccount(UsersReader& reader, int32_t n, int32_t primary, AccountStore& store) {
  const AccountServices& services = reader.services();
  UserAccount& account = NewAccount(services, store);
  account.Index = n;
  if (n == primary) account.Primary = 1;
  if (services.platform.environment) {
    ReadVariableSection(reader.profiles(), *services.platform.environment, reader.file(), account);
  }
  account.Name = reader.Numbered(u"User", n);
  if (!TakeText(reader, u"OldName", n, account.OldName)) account.OldName = account.Name.view();
  reader.SetVariable(u"ThisUser", account.Name.view());
  if (!LookUpAccount(services, account)) {
    account.Exists = 0;
    account.DetailsLoaded = 1;
  }
  TakeText(reader, u"Domain", n, account.Domain);
  if (reader.NumberedInt(u"deleted", n).value_or(0) == 1) {
    account.Deleted = 1;
    account.Primary = 0;
  }
  ReadPassword(reader, n, store.defaults, account);
  ReadTextsAndNumbers(reader, n, store.defaults, account);
  ReadFolders(reader, n, account);
  RecomputeChildrenMasks(account);
}

}  // namespace

size_t ReadUsersSection(const AccountServices& services, TextView file, AccountStore* store) {
  if (store == nullptr) return 0;
  UsersReader reader(services, file);
  ReadDefaults(reader, store->defaults);
  const int32_t count = CountAccounts(reader);
  const int32_t primary = PrimaryNumber(reader);
  for (int32_t n = 0; n < count; ++n) ReadAccount(reader, n, primary, *store);
  return static_cast<size_t>(count);
}

void ResetUsers(AccountStore& store) {
  store.defaults.ResetRecordDefaults();
  store.list.ClearAccounts();
}

}  // namespace tarn::accounts
