#include "accounts/account_security.h"

#include <algorithm>
#include <vector>

#include "accounts/user_account.h"
#include "platform/accounts.h"

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

// Makes `sid` a member of `join` and no longer of `leave`, with the
// privilege level that goes with it; the first failure. Adding a member
// already there and removing one that isn't are harmless; a group whose name
// can't be found is a failure.
WinError MoveBetweenGroups(const AccountServices& services, TextView server, TextView name,
                           const platform::Sid& sid, uint32_t privilege, const platform::Sid& join,
                           const platform::Sid& leave) {
  platform::Accounts& accounts = *services.platform.accounts;
  const Text joinName = GroupDisplayName(services, server, join);
  const Text leaveName = GroupDisplayName(services, server, leave);
  WinError first = accounts.SetUserPrivilege(server, name, privilege);
  auto keep = [&first](WinError error, WinError harmless) {
    if (first == kErrorSuccess && error != harmless) first = error;
  };
  keep(joinName.empty() ? kErrorNoneMapped : accounts.AddLocalGroupMember(server, joinName, sid),
       platform::kErrorMemberInAlias);
  keep(leaveName.empty() ? kErrorNoneMapped
                         : accounts.RemoveLocalGroupMember(server, leaveName, sid),
       platform::kErrorMemberNotInAlias);
  return first;
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

WinError SetAccountGroup(const AccountServices& services, TextView server, TextView name,
                         const platform::Sid& sid, int32_t group, bool primary) {
  const auto change = GroupChangeOf(group, primary);
  if (!change) return kErrorSuccess;
  return MoveBetweenGroups(services, server, name, sid, change->privilege, change->join,
                           change->leave);
}

WinError DowngradeAccount(const AccountServices& services, TextView name) {
  const auto sid = ResolveAccountSid(services, u"", name);
  if (!sid) return kErrorNoneMapped;
  const GroupChange change = *GroupChangeOf(kGroupUsers, false);
  return MoveBetweenGroups(services, u"", name, *sid, change.privilege, change.join, change.leave);
}

}  // namespace tarn::accounts
