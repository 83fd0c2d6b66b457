// The simulated local account database: users with flags and privilege
// levels, relative identifiers under the machine's own SID, the built-in
// groups with display names in the system's language, and the workgroup the
// computer belongs to.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

#include "platform/accounts.h"
#include "platform/security.h"
#include "platform/sim/fault_injection.h"

namespace tarn::sim {

class SimSystemInfo;

inline constexpr WinError kErrorInvalidLevel = 124;
inline constexpr WinError kNerrPasswordTooShort = 2245;
// The built-in accounts can be renamed but never deleted.
inline constexpr WinError kErrorSpecialAccount = 1371;

// One local account as the database holds it. Its privilege level follows
// its membership of the built-in groups, as NetUserGetInfo reports it.
struct SimUser {
  platform::UserInfo info;
  Text password;
  uint32_t rid = 0;
};

// One built-in group (alias) under S-1-5-32.
struct SimGroup {
  uint32_t rid = 0;
  Text displayName;
  std::vector<platform::Sid> members;
};

inline constexpr uint32_t kRidAdministrators = 544;
inline constexpr uint32_t kRidUsers = 545;
inline constexpr uint32_t kRidGuests = 546;
inline constexpr uint32_t kRidGuest = 501;

class SimAccounts : public platform::Accounts {
 public:
  // The machine's fault plan reaches this service through its gate.
  [[nodiscard]] FaultGate& faults() { return faults_; }

  // A fresh machine: "Administrator" (RID 500, administrator privilege) and
  // "Guest" (RID 501, disabled, guest privilege); the groups Administrators,
  // Users and Guests in English; workgroup "WORKGROUP". The computer's name
  // is asked from `system` on every call.
  explicit SimAccounts(SimSystemInfo& system);

  // ---- Set-up for tests ----
  // Adds or replaces a user; returns its RID (new users count up from 1000).
  // The user joins no group; its privilege level is the one given until its
  // membership changes.
  uint32_t PutUser(const platform::UserInfo& info, TextView password = u"");
  void SetJoinInformation(std::optional<platform::JoinInformation> join);

  // ---- Inspection and the look-ups of the simulated security authority ----
  [[nodiscard]] const SimUser* FindUser(TextView name) const;
  [[nodiscard]] const SimUser* FindUserByRid(uint32_t rid) const;
  [[nodiscard]] const SimGroup* FindGroup(TextView displayName) const;
  [[nodiscard]] const SimGroup* FindGroupByRid(uint32_t rid) const;
  // The machine's domain SID, S-1-5-21-x-y-z.
  [[nodiscard]] const platform::Sid& machineSid() const { return machineSid_; }
  [[nodiscard]] platform::Sid UserSid(uint32_t rid) const;
  // The computer's present name.
  [[nodiscard]] Text ComputerName() const;
  // True when `server` names this computer (empty, or its name with or
  // without two leading backslashes).
  [[nodiscard]] bool IsLocal(TextView server) const;

  // ---- platform::Accounts ----
  [[nodiscard]] Result<platform::UserInfo> GetUserInfo(TextView server, TextView name,
                                                       uint32_t level) override;
  [[nodiscard]] WinError DeleteUser(TextView server, TextView name) override;
  [[nodiscard]] Result<platform::JoinInformation> GetJoinInformation(TextView server) override;

 private:
  SimUser* FindUserMutable(TextView name);

  SimSystemInfo& system_;
  platform::Sid machineSid_;
  std::vector<SimUser> users_;
  std::vector<SimGroup> groups_;
  uint32_t nextRid_ = 1000;
  std::optional<platform::JoinInformation> join_;

 public:
  // Local groups and account rights.
  // Gives the built-in groups the names of a system installed in the
  // language `iso639` ("en", "de"); other languages keep the English names.
  void SetSystemLanguage(TextView iso639);
  // The level must be the one the account's membership gives (Administrators:
  // administrator; else Users: user; else guest); any other is refused with
  // ERROR_INVALID_PARAMETER, as Windows 10/11 does.
  [[nodiscard]] WinError SetUserPrivilege(TextView server, TextView name,
                                          uint32_t privilege) override;
  [[nodiscard]] WinError AddLocalGroupMember(TextView server, TextView group,
                                             const platform::Sid& member) override;
  [[nodiscard]] WinError RemoveLocalGroupMember(TextView server, TextView group,
                                                const platform::Sid& member) override;
  [[nodiscard]] Result<std::vector<platform::Sid>> GetLocalGroupMembers(TextView server,
                                                                        TextView group) override;
  [[nodiscard]] Result<std::vector<Text>> EnumerateLocalGroups(TextView server) override;

  // Creating and changing accounts.
  // A new account is a member of Users with user privilege; a privilege
  // other than user is refused (ERROR_INVALID_PARAMETER).
  [[nodiscard]] WinError CreateUser(TextView server, const platform::UserInfo& info,
                                    TextView password) override;
  [[nodiscard]] WinError SetUserText(TextView server, TextView name, uint32_t level,
                                     TextView text) override;
  [[nodiscard]] WinError SetUserFlags(TextView server, TextView name, uint32_t flags) override;
  // Every user in the order they were added.
  [[nodiscard]] WinError EnumerateUsers(TextView server,
                                        std::vector<platform::UserInfo>& users) override;
  // Passwords shorter than `length` are refused (NERR_PasswordTooShort), as a
  // password policy does.
  void SetMinimumPasswordLength(size_t length) { minimumPasswordLength_ = length; }

 private:
  SimGroup* FindGroupMutable(TextView displayName);
  [[nodiscard]] bool IsMember(uint32_t groupRid, const platform::Sid& sid) const;
  // Gives the local user `member` (if it is one) the privilege level its
  // membership now gives.
  void FollowMembership(const platform::Sid& member);
  size_t minimumPasswordLength_ = 0;
  FaultGate faults_;
};

}  // namespace tarn::sim
