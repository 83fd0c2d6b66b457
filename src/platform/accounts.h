// Local user accounts and workgroup membership, with the semantics of the
// network management functions (NetUserGetInfo, NetUserAdd, NetUserDel,
// NetGetJoinInformation). Results are NET_API_STATUS / Windows error codes.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "platform/security.h"

namespace tarn::platform {

// usri*_priv values.
inline constexpr uint32_t kUserPrivGuest = 0;
inline constexpr uint32_t kUserPrivUser = 1;
inline constexpr uint32_t kUserPrivAdmin = 2;

// NETSETUP_JOIN_STATUS values.
inline constexpr uint32_t kNetSetupUnknownStatus = 0;
inline constexpr uint32_t kNetSetupUnjoined = 1;
inline constexpr uint32_t kNetSetupWorkgroupName = 2;
inline constexpr uint32_t kNetSetupDomainName = 3;

// Answers of the local group calls.
inline constexpr WinError kErrorMemberNotInAlias = 1377;
inline constexpr WinError kErrorMemberInAlias = 1378;
inline constexpr WinError kNerrGroupNotFound = 2220;

// NetUserSetInfo levels that set one text member.
inline constexpr uint32_t kUserLevelName = 0;
inline constexpr uint32_t kUserLevelPassword = 1003;
inline constexpr uint32_t kUserLevelHomeDir = 1006;
inline constexpr uint32_t kUserLevelComment = 1007;
inline constexpr uint32_t kUserLevelScript = 1009;
inline constexpr uint32_t kUserLevelFullName = 1011;
inline constexpr uint32_t kUserLevelProfile = 1052;

// The fields of USER_INFO_3 that the program uses. Level 0 fills `name`
// only; level 1 adds privilege, home, comment, flags and script; level 3 adds
// the full name and the profile path.
struct UserInfo {
  Text name;
  uint32_t privilege = kUserPrivUser;
  Text homeDir;
  Text comment;
  uint32_t flags = 0;
  Text scriptPath;
  Text fullName;
  Text profile;
};

// Answer of NetGetJoinInformation.
struct JoinInformation {
  // The workgroup or domain name.
  Text name;
  uint32_t status = kNetSetupUnknownStatus;
};

// The server name of every account and policy call the program makes: the
// local computer. An account record's domain never sends one elsewhere,
// where the calls would carry the administrator's credentials and passwords.
inline constexpr TextView kLocalComputer = u"";

class Accounts {
 public:
  virtual ~Accounts() = default;

  // NetUserGetInfo(server, name, level) for level 0, 1 or 3. `server` empty
  // is the local computer. Fails with kNerrUserNotFound for an unknown name.
  [[nodiscard]] virtual Result<UserInfo> GetUserInfo(TextView server, TextView name,
                                                     uint32_t level) = 0;
  // NetUserDel(server, name).
  [[nodiscard]] virtual WinError DeleteUser(TextView server, TextView name) = 0;
  // NetGetJoinInformation(server); the buffer is released inside.
  [[nodiscard]] virtual Result<JoinInformation> GetJoinInformation(TextView server) = 0;

  // Local groups and account rights.
  // NetUserSetInfo(server, name, level 1005): the account's privilege level.
  [[nodiscard]] virtual WinError SetUserPrivilege(TextView server, TextView name,
                                                  uint32_t privilege) = 0;
  // NetLocalGroupAddMembers(server, group, level 0, one member). A member
  // that is already there fails with kErrorMemberInAlias.
  [[nodiscard]] virtual WinError AddLocalGroupMember(TextView server, TextView group,
                                                     const Sid& member) = 0;
  // NetLocalGroupDelMembers(server, group, level 0, one member). A SID that
  // is not a member fails with kErrorMemberNotInAlias.
  [[nodiscard]] virtual WinError RemoveLocalGroupMember(TextView server, TextView group,
                                                        const Sid& member) = 0;
  // NetLocalGroupGetMembers(server, group, level 0): the members' SIDs.
  // Fails with kNerrGroupNotFound for an unknown group.
  [[nodiscard]] virtual Result<std::vector<Sid>> GetLocalGroupMembers(TextView server,
                                                                      TextView group) = 0;
  // NetLocalGroupEnum(server, level 0): the names of the local groups.
  [[nodiscard]] virtual Result<std::vector<Text>> EnumerateLocalGroups(TextView server) = 0;

  // Creating and changing accounts.
  // NetUserAdd(server, level 4): `info` without the profile, user privilege
  // as given, no expiry, no storage limit, no logon-hour restriction, any
  // logon server, primary group domain users; the password counts as expired
  // when the flags carry UF_PASSWORD_EXPIRED. kNerrUserExists for a name
  // that is taken.
  [[nodiscard]] virtual WinError CreateUser(TextView server, const UserInfo& info,
                                            TextView password) = 0;
  // NetUserSetInfo(server, name, level, text) for the levels whose one
  // member is a text: 0 (new name), 1003 (password), 1006 (home), 1007
  // (comment), 1009 (script), 1011 (full name), 1052 (profile path).
  [[nodiscard]] virtual WinError SetUserText(TextView server, TextView name, uint32_t level,
                                             TextView text) = 0;
  // NetUserSetInfo(server, name, level 1008).
  [[nodiscard]] virtual WinError SetUserFlags(TextView server, TextView name, uint32_t flags) = 0;

  // NetUserEnum(server, level 1, FILTER_NORMAL_ACCOUNT), page after page
  // while the call answers ERROR_MORE_DATA: appends each account's level-1
  // fields to `users`. A failure keeps what earlier pages gave and is
  // returned; kErrorSuccess otherwise.
  [[nodiscard]] virtual WinError EnumerateUsers(TextView server, std::vector<UserInfo>& users) = 0;
};

}  // namespace tarn::platform
