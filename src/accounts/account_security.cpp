#include "accounts/account_security.h"

#include <algorithm>
#include <vector>

#include "accounts/user_account.h"
#include "platform/accounts.h"
#include "platform/system_info.h"

namespace tarn::accounts {

namespace {

std::vector<Text> SplitAtCommas(TextView text) {
  std::vector<Text> parts;
  while (true) {
    const size_t comma = text.find(u',');
    const TextView part = text.substr(0, comma);
    if (!part.empty()) parts.emplace_back(part);
    if (comma == TextView::npos) return parts;
    text.remove_prefix(comma + 1);
  }
}

bool HoldsRight(const AccountServices& services, TextView server, const platform::Sid& sid,
                TextView right) {
  auto held = services.platform.security->EnumerateAccountRights(server, sid);
  if (!held.ok()) return false;
  return std::any_of(held->begin(), held->end(),
                     [right](const Text& one) { return EqualsIgnoreCase(one, right); });
}

// Makes `sid` a member of `join`, then no longer of `leave`; the first
// failure. The privilege level follows the membership by itself: Windows
// refuses to set one the membership does not give. Joining first means the
// account is never left in neither group, and a failed join leaves it where
// it was. Adding a member already there and removing one that isn't are
// harmless; a group whose name can't be found is a failure.
WinError MoveBetweenGroups(const AccountServices& services, TextView server,
                           const platform::Sid& sid, const platform::Sid& join,
                           const platform::Sid& leave) {
  platform::Accounts& accounts = *services.platform.accounts;
  const Text joinName = GroupDisplayName(services, server, join);
  const WinError joined =
      joinName.empty() ? kErrorNoneMapped : accounts.AddLocalGroupMember(server, joinName, sid);
  if (joined != kErrorSuccess && joined != platform::kErrorMemberInAlias) return joined;
  const Text leaveName = GroupDisplayName(services, server, leave);
  const WinError left = leaveName.empty() ? kErrorNoneMapped
                                          : accounts.RemoveLocalGroupMember(server, leaveName, sid);
  return left == platform::kErrorMemberNotInAlias ? kErrorSuccess : left;
}

// True when `sid` is an enabled user account on `server`; false when it is
// disabled, no user, or can't be read.
bool IsEnabledUser(const AccountServices& services, TextView server, const platform::Sid& sid) {
  auto who = services.platform.security->LookupSid(server, sid);
  if (!who.ok() || who->use != platform::kSidTypeUser) return false;
  auto info = services.platform.accounts->GetUserInfo(server, who->name, 1);
  return info.ok() && (info->flags & kUfAccountDisable) == 0;
}

// The members of Administrators on `server`; nullopt when they can't be read.
std::optional<std::vector<platform::Sid>> Administrators(const AccountServices& services,
                                                         TextView server) {
  const Text name = GroupDisplayName(services, server, platform::AdministratorsSid());
  if (name.empty()) return std::nullopt;
  auto members = services.platform.accounts->GetLocalGroupMembers(server, name);
  if (!members.ok()) return std::nullopt;
  return std::move(*members);
}

bool IsLastEnabledAmong(const AccountServices& services, TextView server,
                        const std::vector<platform::Sid>& members, const platform::Sid& sid) {
  if (std::find(members.begin(), members.end(), sid) == members.end()) return false;
  if (!IsEnabledUser(services, server, sid)) return false;
  return std::none_of(members.begin(), members.end(), [&](const platform::Sid& other) {
    return other != sid && IsEnabledUser(services, server, other);
  });
}

}  // namespace

std::optional<platform::Sid> ResolveAccountSid(const AccountServices& services, TextView server,
                                               TextView name) {
  platform::Security& security = *services.platform.security;
  auto lookup = security.LookupName(server, name);
  if (lookup.ok() && lookup->use == platform::kSidTypeDomain) {
    lookup = security.LookupName(server, Text(name) + u"\\" + Text(name));
  }
  if (!lookup.ok() || lookup->use != platform::kSidTypeUser) return std::nullopt;
  return lookup->sid;
}

Text GroupDisplayName(const AccountServices& services, TextView server, const platform::Sid& sid) {
  auto lookup = services.platform.security->LookupSid(server, sid);
  return lookup.ok() ? lookup->name : Text();
}

uint32_t HasAccountRight(const AccountServices& services, TextView server, TextView name,
                         TextView right) {
  const auto sid = ResolveAccountSid(services, server, name);
  if (!sid) return 0;
  uint32_t bits = HoldsRight(services, server, *sid, right) ? kRightHeldDirectly : 0;
  platform::Accounts& accounts = *services.platform.accounts;
  auto groups = accounts.EnumerateLocalGroups(server);
  if (!groups.ok()) return bits;
  for (const Text& group : *groups) {
    auto members = accounts.GetLocalGroupMembers(server, group);
    if (!members.ok() || std::find(members->begin(), members->end(), *sid) == members->end()) {
      continue;
    }
    auto groupSid = services.platform.security->LookupName(server, group);
    if (groupSid.ok() && HoldsRight(services, server, groupSid->sid, right)) {
      bits |= kRightHeldThroughGroup;
    }
  }
  return bits;
}

bool DropAccountRights(const AccountServices& services, TextView server, TextView name,
                       TextView rights) {
  const auto sid = ResolveAccountSid(services, server, name);
  if (!sid) return false;
  return services.platform.security->RemoveAccountRights(server, *sid, SplitAtCommas(rights)) ==
         kErrorSuccess;
}

std::optional<GroupChange> GroupChangeOf(int32_t group, bool primary) {
  if (group == kGroupAdministrators || primary) {
    return GroupChange{platform::kUserPrivAdmin, platform::AdministratorsSid(),
                       platform::UsersSid()};
  }
  if (group == kGroupUsers) {
    return GroupChange{platform::kUserPrivUser, platform::UsersSid(),
                       platform::AdministratorsSid()};
  }
  return std::nullopt;
}

WinError SetAccountGroup(const AccountServices& services, TextView server,
                         [[maybe_unused]] TextView name, const platform::Sid& sid, int32_t group,
                         bool primary) {
  const auto change = GroupChangeOf(group, primary);
  if (!change) return kErrorSuccess;
  return MoveBetweenGroups(services, server, sid, change->join, change->leave);
}

std::optional<bool> IsLastEnabledAdministrator(const AccountServices& services, TextView server,
                                               const platform::Sid& sid) {
  const auto members = Administrators(services, server);
  if (!members) return std::nullopt;
  return IsLastEnabledAmong(services, server, *members, sid);
}

Protection ProtectionOf(const AccountServices& services, TextView server, const platform::Sid& sid,
                        bool deleting) {
  const auto members = Administrators(services, server);
  if (!members) return Protection::kUnknown;
  const bool administrator = std::find(members->begin(), members->end(), sid) != members->end();
  if (!deleting && !administrator) return Protection::kNone;
  auto user = services.platform.system->UserName();
  if (!user.ok()) return Protection::kUnknown;
  // A program run as SYSTEM has no account of its own to protect.
  if (ResolveAccountSid(services, u"", *user) == sid) return Protection::kOwnAccount;
  return IsLastEnabledAmong(services, server, *members, sid) ? Protection::kLastAdministrator
                                                             : Protection::kNone;
}

WinError DowngradeAccount(const AccountServices& services, TextView name) {
  const auto sid = ResolveAccountSid(services, u"", name);
  if (!sid) return kErrorNoneMapped;
  // Without an enabled administrator nobody could manage the computer.
  const auto last = IsLastEnabledAdministrator(services, u"", *sid);
  if (!last || *last) return kErrorAccessDenied;
  const GroupChange change = *GroupChangeOf(kGroupUsers, false);
  return MoveBetweenGroups(services, u"", *sid, change.join, change.leave);
}

}  // namespace tarn::accounts
