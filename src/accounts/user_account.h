// One local account as the run is to leave it, its private environment
// variables, the list of all such records, and the defaults new records start
// from. Text fields have fixed capacities (UTF-16 code units, terminator not
// counted); every assignment cuts to the capacity.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>

#include "base/fixed_text.h"
#include "base/shell_folder_names.h"
#include "base/text.h"

namespace tarn::accounts {

inline constexpr size_t kPathCapacity = 260;

// Windows user-flag bits of `Status`.
inline constexpr uint32_t kUfAccountDisable = 0x2;
inline constexpr uint32_t kUfPasswdNotReqd = 0x20;
inline constexpr uint32_t kUfPasswdCantChange = 0x40;
inline constexpr uint32_t kUfNormalAccount = 0x200;
inline constexpr uint32_t kUfDontExpirePasswd = 0x10000;
inline constexpr uint32_t kUfPasswordExpired = 0x800000;
// Normal account, password not required, password never expires.
inline constexpr uint32_t kDefaultStatus = 0x10220;

// `Group` values.
inline constexpr int32_t kGroupUsers = 0;
inline constexpr int32_t kGroupAdministrators = 1;
inline constexpr int32_t kGroupUnchanged = 2;

// `ShowOnWelcome` value that leaves the welcome-screen setting as it is.
inline constexpr int32_t kWelcomeUnchanged = 3;

// The password text that keeps an account's current password.
inline constexpr char16_t kKeepPassword[] = u"*";

// Clears "must change password" when the flags also say the password never
// expires or can't be changed; the system refuses that combination.
[[nodiscard]] uint32_t NormaliseStatus(uint32_t status);

// One private environment variable of an account.
struct UserVariable {
  FixedText<127> name;
  FixedText<254> value;
  // Read from the account's own hive rather than given by the configuration
  // or the pages: the account may have written anything there, so it goes
  // back into the account's hive but never into the program's environment.
  bool fromHive = false;
};

// The private variables of an account; the newest is first.
using UserVariableList = std::list<UserVariable>;

struct UserAccount {
  UserAccount() = default;
  // Records are owned by one list and referred to by address; copying one
  // would leave an unwiped password behind, so copies go through CopyAccount.
  UserAccount(const UserAccount&) = delete;
  UserAccount& operator=(const UserAccount&) = delete;
  // Overwrites the password before the memory is released.
  ~UserAccount() { Password.Wipe(); }

  FixedText<15> Domain;
  FixedText<20> Name;
  FixedText<100> FullName;
  FixedText<100> Password;
  FixedText<kPathCapacity> Home;
  FixedText<200> Comment;
  FixedText<kPathCapacity> Script;
  FixedText<kPathCapacity> Profile;
  FixedText<kPathCapacity> RoamingProfile;
  int32_t HasRoamingProfile = 0;
  uint32_t Status = 0;
  int32_t Group = kGroupUsers;
  int32_t Primary = 0;
  int32_t SettingsAccount = 0;
  int32_t Exists = 0;
  // Number n of the record's keys in the users section; -1 when not from the file.
  int32_t Index = -1;
  FixedText<20> OldName;
  int32_t Deleted = 0;
  std::array<FixedText<kPathCapacity>, kShellFolderCount> ShellFolders;
  // For folder p: bit (1 << i) when folder i has parent p and lies inside p's path.
  std::array<uint32_t, kShellFolderCount> ShellFolderChildren{};
  // For folder i: the index of the folder that contains it by default, 0 = none.
  std::array<int32_t, kShellFolderCount> ShellFolderParent{};
  UserVariableList Environment;
  int32_t PasswordGiven = 0;
  int32_t EditPending = 0;
  int32_t DetailsLoaded = 0;
  // 1 when Environment was read from the account's hive: only then does a
  // value missing from the list mean the administrator removed it.
  int32_t EnvironmentLoaded = 0;
  int32_t ShowOnWelcome = kWelcomeUnchanged;
};

// Defaults for new records. Texts are absent (nullopt) until the users
// section sets them; folder defaults come from the environment section.
struct UserDefaults {
  std::optional<FixedText<15>> Domain;
  std::optional<FixedText<100>> FullName;
  std::optional<FixedText<100>> Password;
  std::optional<FixedText<kPathCapacity>> Home;
  std::optional<FixedText<200>> Comment;
  std::optional<FixedText<kPathCapacity>> Script;
  std::optional<FixedText<kPathCapacity>> Profile;
  std::optional<FixedText<kPathCapacity>> RoamingProfile;
  uint32_t Status = kDefaultStatus;
  int32_t Group = kGroupUsers;
  int32_t Deleted = 0;
  int32_t ShowOnWelcome = kWelcomeUnchanged;
  std::array<std::optional<FixedText<kPathCapacity>>, kShellFolderCount> ShellFolders;

  // Wipes the default password.
  ~UserDefaults();
  UserDefaults() = default;
  UserDefaults(const UserDefaults&) = delete;
  UserDefaults& operator=(const UserDefaults&) = delete;

  // Restores every entry but the folder defaults to its initial state.
  void ResetRecordDefaults();
};

// The accounts of the run. New records go to the head, so the most recently
// added record is first. The list owns its records; their addresses stay
// valid until they are removed.
class UserAccountList {
 public:
  UserAccountList() = default;
  UserAccountList(const UserAccountList&) = delete;
  UserAccountList& operator=(const UserAccountList&) = delete;

  // A zeroed record (Index -1) put at the head; the caller fills it.
  UserAccount& AddBlank();

  // Unlinks and releases `account` (a no-op when it is not in this list).
  void RemoveAccount(const UserAccount* account);
  // Unlinks and releases the record at `position` counted from the head.
  void RemoveAccountAt(size_t position);
  // Removes every record.
  void ClearAccounts();

  [[nodiscard]] size_t count() const { return records_.size(); }
  [[nodiscard]] bool empty() const { return records_.empty(); }

  // Lookups: the first match from the head, or nullptr.
  [[nodiscard]] UserAccount* AccountAt(size_t position);
  [[nodiscard]] UserAccount* FindByName(TextView name);
  [[nodiscard]] UserAccount* FindByOldName(TextView oldName);
  [[nodiscard]] UserAccount* FindPrimary();
  [[nodiscard]] UserAccount* FindSettingsAccount();
  [[nodiscard]] bool HasName(TextView name) { return FindByName(name) != nullptr; }
  [[nodiscard]] bool HasOldName(TextView oldName) { return FindByOldName(oldName) != nullptr; }

  // Clears `Primary` on every record, then sets it on `account`.
  void SetPrimary(UserAccount& account);

  // Iteration from the head.
  [[nodiscard]] auto begin() { return records_.begin(); }
  [[nodiscard]] auto end() { return records_.end(); }
  [[nodiscard]] auto begin() const { return records_.begin(); }
  [[nodiscard]] auto end() const { return records_.end(); }

 private:
  std::list<UserAccount> records_;
};

// The account list with its defaults: what start-up, the pages and the run share.
struct AccountStore {
  UserAccountList list;
  UserDefaults defaults;
};

}  // namespace tarn::accounts
