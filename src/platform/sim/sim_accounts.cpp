#include "platform/sim/sim_accounts.h"

#include "platform/sim/sim_system_info.h"

#include <algorithm>

namespace tarn::sim {

namespace {

platform::UserInfo AtLevel(const platform::UserInfo& info, uint32_t level) {
  platform::UserInfo answer;
  answer.name = info.name;
  if (level == 0) return answer;
  answer.privilege = info.privilege;
  answer.homeDir = info.homeDir;
  answer.comment = info.comment;
  answer.flags = info.flags;
  answer.scriptPath = info.scriptPath;
  if (level == 1) return answer;
  answer.fullName = info.fullName;
  answer.profile = info.profile;
  return answer;
}

}  // namespace

SimAccounts::SimAccounts(SimSystemInfo& system) : system_(system) {
  machineSid_.subAuthorities = {21, 1844237615, 1383384898, 725345543};
  platform::UserInfo administrator;
  administrator.name = u"Administrator";
  administrator.privilege = platform::kUserPrivAdmin;
  administrator.flags = 0x10201;
  administrator.comment = u"Built-in account for administering the computer/domain";
  users_.push_back({administrator, u"", platform::kRidAdministrator});
  platform::UserInfo guest;
  guest.name = u"Guest";
  guest.privilege = platform::kUserPrivGuest;
  guest.flags = 0x10223;
  guest.comment = u"Built-in account for guest access to the computer/domain";
  users_.push_back({guest, u"", kRidGuest});
  groups_.push_back(
      {kRidAdministrators, u"Administrators", {UserSid(platform::kRidAdministrator)}});
  groups_.push_back({kRidUsers, u"Users", {}});
  groups_.push_back({kRidGuests, u"Guests", {UserSid(kRidGuest)}});
  join_ = platform::JoinInformation{u"WORKGROUP", platform::kNetSetupWorkgroupName};
}

uint32_t SimAccounts::PutUser(const platform::UserInfo& info, TextView password) {
  if (SimUser* existing = FindUserMutable(info.name)) {
    existing->info = info;
    existing->password = Text(password);
    return existing->rid;
  }
  users_.push_back({info, Text(password), nextRid_});
  return nextRid_++;
}

void SimAccounts::SetJoinInformation(std::optional<platform::JoinInformation> join) {
  join_ = std::move(join);
}

SimUser* SimAccounts::FindUserMutable(TextView name) {
  for (auto& user : users_) {
    if (EqualsIgnoreCase(user.info.name, name)) return &user;
  }
  return nullptr;
}

const SimUser* SimAccounts::FindUser(TextView name) const {
  return const_cast<SimAccounts*>(this)->FindUserMutable(name);
}

const SimUser* SimAccounts::FindUserByRid(uint32_t rid) const {
  for (const auto& user : users_) {
    if (user.rid == rid) return &user;
  }
  return nullptr;
}

const SimGroup* SimAccounts::FindGroup(TextView displayName) const {
  for (const auto& group : groups_) {
    if (EqualsIgnoreCase(group.displayName, displayName)) return &group;
  }
  return nullptr;
}

const SimGroup* SimAccounts::FindGroupByRid(uint32_t rid) const {
  for (const auto& group : groups_) {
    if (group.rid == rid) return &group;
  }
  return nullptr;
}

platform::Sid SimAccounts::UserSid(uint32_t rid) const {
  platform::Sid sid = machineSid_;
  sid.subAuthorities.push_back(rid);
  return sid;
}

Text SimAccounts::ComputerName() const {
  return system_.ComputerName().value_or(u"TARN-PC");
}

bool SimAccounts::IsLocal(TextView server) const {
  if (server.empty()) return true;
  if (server.size() >= 2 && server.substr(0, 2) == u"\\\\") server.remove_prefix(2);
  return EqualsIgnoreCase(server, ComputerName());
}

Result<platform::UserInfo> SimAccounts::GetUserInfo(TextView server, TextView name,
                                                    uint32_t level) {
  if (auto e = faults_.Check(CallKind::kAccountGet)) return e;
  if (level != 0 && level != 1 && level != 3) {
    return Result<platform::UserInfo>::Failure(kErrorInvalidLevel);
  }
  if (!IsLocal(server)) return Result<platform::UserInfo>::Failure(kErrorBadNetPath);
  const SimUser* user = FindUser(name);
  if (user == nullptr) return Result<platform::UserInfo>::Failure(kNerrUserNotFound);
  return AtLevel(user->info, level);
}

WinError SimAccounts::DeleteUser(TextView server, TextView name) {
  if (auto e = faults_.Check(CallKind::kAccountDelete)) return e;
  if (!IsLocal(server)) return kErrorBadNetPath;
  for (auto it = users_.begin(); it != users_.end(); ++it) {
    if (EqualsIgnoreCase(it->info.name, name)) {
      if (it->rid == platform::kRidAdministrator || it->rid == kRidGuest) {
        return kErrorSpecialAccount;
      }
      // The account database drops a deleted account's memberships with it.
      const platform::Sid sid = UserSid(it->rid);
      for (auto& group : groups_) std::erase(group.members, sid);
      users_.erase(it);
      return kErrorSuccess;
    }
  }
  return kNerrUserNotFound;
}

Result<platform::JoinInformation> SimAccounts::GetJoinInformation(TextView server) {
  if (auto e = faults_.Check(CallKind::kJoinInformation)) return e;
  if (!IsLocal(server)) return Result<platform::JoinInformation>::Failure(kErrorBadNetPath);
  if (!join_) return Result<platform::JoinInformation>::Failure(kErrorAccessDenied);
  return *join_;
}

namespace {

struct BuiltinGroupName {
  uint32_t rid;
  const char16_t* english;
  const char16_t* german;
};

// The names a German edition gives its built-in groups; the SIDs stay.
constexpr BuiltinGroupName kBuiltinGroupNames[] = {
    {kRidAdministrators, u"Administrators", u"Administratoren"},
    {kRidUsers, u"Users", u"Benutzer"},
    {kRidGuests, u"Guests", u"Gäste"},
};

}  // namespace

void SimAccounts::SetSystemLanguage(TextView iso639) {
  const bool german = EqualsIgnoreCase(iso639, u"de");
  for (const auto& names : kBuiltinGroupNames) {
    for (auto& group : groups_) {
      if (group.rid == names.rid) group.displayName = german ? names.german : names.english;
    }
  }
}

SimGroup* SimAccounts::FindGroupMutable(TextView displayName) {
  for (auto& group : groups_) {
    if (EqualsIgnoreCase(group.displayName, displayName)) return &group;
  }
  return nullptr;
}

bool SimAccounts::IsMember(uint32_t groupRid, const platform::Sid& sid) const {
  const SimGroup* group = FindGroupByRid(groupRid);
  return group != nullptr && std::ranges::find(group->members, sid) != group->members.end();
}

void SimAccounts::FollowMembership(const platform::Sid& member) {
  for (auto& user : users_) {
    if (UserSid(user.rid) != member) continue;
    if (IsMember(kRidAdministrators, member)) {
      user.info.privilege = platform::kUserPrivAdmin;
    } else if (IsMember(kRidUsers, member)) {
      user.info.privilege = platform::kUserPrivUser;
    } else {
      user.info.privilege = platform::kUserPrivGuest;
    }
    return;
  }
}

WinError SimAccounts::SetUserPrivilege(TextView server, TextView name, uint32_t privilege) {
  if (auto e = faults_.Check(CallKind::kAccountSet)) return e;
  if (!IsLocal(server)) return kErrorBadNetPath;
  SimUser* user = FindUserMutable(name);
  if (user == nullptr) return kNerrUserNotFound;
  // The level is not stored apart from the membership: only the level the
  // membership already gives is accepted.
  if (privilege != user->info.privilege) return kErrorInvalidParameter;
  return kErrorSuccess;
}

WinError SimAccounts::AddLocalGroupMember(TextView server, TextView group,
                                          const platform::Sid& member) {
  if (auto e = faults_.Check(CallKind::kGroupMembership)) return e;
  if (!IsLocal(server)) return kErrorBadNetPath;
  SimGroup* found = FindGroupMutable(group);
  if (found == nullptr) return platform::kNerrGroupNotFound;
  if (std::find(found->members.begin(), found->members.end(), member) != found->members.end()) {
    return platform::kErrorMemberInAlias;
  }
  found->members.push_back(member);
  FollowMembership(member);
  return kErrorSuccess;
}

WinError SimAccounts::RemoveLocalGroupMember(TextView server, TextView group,
                                             const platform::Sid& member) {
  if (auto e = faults_.Check(CallKind::kGroupMembership)) return e;
  if (!IsLocal(server)) return kErrorBadNetPath;
  SimGroup* found = FindGroupMutable(group);
  if (found == nullptr) return platform::kNerrGroupNotFound;
  if (std::erase(found->members, member) == 0) return platform::kErrorMemberNotInAlias;
  FollowMembership(member);
  return kErrorSuccess;
}

Result<std::vector<platform::Sid>> SimAccounts::GetLocalGroupMembers(TextView server,
                                                                     TextView group) {
  if (auto e = faults_.Check(CallKind::kGroupQuery)) return e;
  using Answer = Result<std::vector<platform::Sid>>;
  if (!IsLocal(server)) return Answer::Failure(kErrorBadNetPath);
  const SimGroup* found = FindGroup(group);
  if (found == nullptr) return Answer::Failure(platform::kNerrGroupNotFound);
  return found->members;
}

Result<std::vector<Text>> SimAccounts::EnumerateLocalGroups(TextView server) {
  if (auto e = faults_.Check(CallKind::kGroupQuery)) return e;
  if (!IsLocal(server)) return Result<std::vector<Text>>::Failure(kErrorBadNetPath);
  std::vector<Text> names;
  for (const auto& group : groups_) names.push_back(group.displayName);
  return names;
}

WinError SimAccounts::EnumerateUsers(TextView server, std::vector<platform::UserInfo>& users) {
  if (auto e = faults_.Check(CallKind::kAccountEnum)) return e;
  if (!IsLocal(server)) return kErrorBadNetPath;
  for (const auto& user : users_) users.push_back(AtLevel(user.info, 1));
  return kErrorSuccess;
}

WinError SimAccounts::CreateUser(TextView server, const platform::UserInfo& info,
                                 TextView password) {
  if (auto e = faults_.Check(CallKind::kAccountAdd)) return e;
  if (!IsLocal(server)) return kErrorBadNetPath;
  if (info.name.empty() || info.privilege != platform::kUserPrivUser) {
    return kErrorInvalidParameter;
  }
  if (FindUser(info.name) != nullptr) return kNerrUserExists;
  if (password.size() < minimumPasswordLength_) return kNerrPasswordTooShort;
  platform::UserInfo stored = info;
  stored.profile.clear();
  // Windows 10/11 makes every new local account a member of Users.
  const uint32_t rid = PutUser(stored, password);
  for (auto& group : groups_) {
    if (group.rid == kRidUsers) group.members.push_back(UserSid(rid));
  }
  return kErrorSuccess;
}

WinError SimAccounts::SetUserText(TextView server, TextView name, uint32_t level, TextView text) {
  if (auto e = faults_.Check(CallKind::kAccountSet)) return e;
  if (!IsLocal(server)) return kErrorBadNetPath;
  SimUser* user = FindUserMutable(name);
  if (user == nullptr) return kNerrUserNotFound;
  switch (level) {
    case platform::kUserLevelName:
      if (text.empty()) return kErrorInvalidParameter;
      // The account itself may take its own name again in another case.
      if (const SimUser* other = FindUser(text); other != nullptr && other != user) {
        return kNerrUserExists;
      }
      user->info.name = Text(text);
      return kErrorSuccess;
    case platform::kUserLevelPassword:
      if (text.size() < minimumPasswordLength_) return kNerrPasswordTooShort;
      user->password = Text(text);
      return kErrorSuccess;
    case platform::kUserLevelHomeDir:
      user->info.homeDir = Text(text);
      return kErrorSuccess;
    case platform::kUserLevelComment:
      user->info.comment = Text(text);
      return kErrorSuccess;
    case platform::kUserLevelScript:
      user->info.scriptPath = Text(text);
      return kErrorSuccess;
    case platform::kUserLevelFullName:
      user->info.fullName = Text(text);
      return kErrorSuccess;
    case platform::kUserLevelProfile:
      user->info.profile = Text(text);
      return kErrorSuccess;
    default:
      return kErrorInvalidLevel;
  }
}

WinError SimAccounts::SetUserFlags(TextView server, TextView name, uint32_t flags) {
  if (auto e = faults_.Check(CallKind::kAccountSet)) return e;
  if (!IsLocal(server)) return kErrorBadNetPath;
  SimUser* user = FindUserMutable(name);
  if (user == nullptr) return kNerrUserNotFound;
  user->info.flags = flags;
  return kErrorSuccess;
}

}  // namespace tarn::sim
