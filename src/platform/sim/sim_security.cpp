#include "platform/sim/sim_security.h"

#include <algorithm>

#include "platform/sim/sim_accounts.h"

namespace tarn::sim {

namespace {

using platform::AccountLookup;
using platform::Sid;

constexpr char16_t kBuiltinDomain[] = u"BUILTIN";
constexpr char16_t kNtAuthority[] = u"NT AUTHORITY";
constexpr char16_t kSystemName[] = u"SYSTEM";

Sid NtSid(std::vector<uint32_t> subAuthorities) {
  Sid sid;
  sid.subAuthorities = std::move(subAuthorities);
  return sid;
}

Result<AccountLookup> NoneMapped() {
  return Result<AccountLookup>::Failure(kErrorNoneMapped);
}

}  // namespace

Result<AccountLookup> SimSecurity::LookupIn(TextView domain, TextView name) {
  const Text computer = accounts_.ComputerName();
  const bool anyDomain = domain.empty();
  const bool local = anyDomain || EqualsIgnoreCase(domain, computer);
  if (anyDomain && EqualsIgnoreCase(name, computer)) {
    return AccountLookup{accounts_.machineSid(), computer, computer, platform::kSidTypeDomain};
  }
  if (local) {
    if (const SimUser* user = accounts_.FindUser(name)) {
      return AccountLookup{accounts_.UserSid(user->rid), user->info.name, computer,
                           platform::kSidTypeUser};
    }
  }
  if (anyDomain || EqualsIgnoreCase(domain, kBuiltinDomain)) {
    if (const SimGroup* group = accounts_.FindGroup(name)) {
      return AccountLookup{NtSid({32, group->rid}), group->displayName, kBuiltinDomain,
                           platform::kSidTypeAlias};
    }
  }
  if ((anyDomain || EqualsIgnoreCase(domain, kNtAuthority)) &&
      EqualsIgnoreCase(name, kSystemName)) {
    return AccountLookup{NtSid({kRidLocalSystem}), kSystemName, kNtAuthority,
                         platform::kSidTypeWellKnownGroup};
  }
  return NoneMapped();
}

Result<AccountLookup> SimSecurity::LookupName(TextView system, TextView name) {
  if (auto e = faults_.Check(CallKind::kSidLookup)) return e;
  if (!accounts_.IsLocal(system)) return Result<AccountLookup>::Failure(kErrorBadNetPath);
  const size_t slash = name.find(u'\\');
  if (slash == TextView::npos) return LookupIn(u"", name);
  return LookupIn(name.substr(0, slash), name.substr(slash + 1));
}

Result<AccountLookup> SimSecurity::LookupSid(TextView system, const Sid& sid) {
  if (auto e = faults_.Check(CallKind::kSidLookup)) return e;
  if (!accounts_.IsLocal(system)) return Result<AccountLookup>::Failure(kErrorBadNetPath);
  const Sid machine = accounts_.machineSid();
  const auto& subs = sid.subAuthorities;
  if (sid.authority != machine.authority) return NoneMapped();
  if (sid == machine) {
    const Text computer = accounts_.ComputerName();
    return AccountLookup{sid, computer, computer, platform::kSidTypeDomain};
  }
  if (subs.size() == machine.subAuthorities.size() + 1 &&
      std::equal(machine.subAuthorities.begin(), machine.subAuthorities.end(), subs.begin())) {
    if (const SimUser* user = accounts_.FindUserByRid(subs.back())) {
      return AccountLookup{sid, user->info.name, accounts_.ComputerName(), platform::kSidTypeUser};
    }
    return NoneMapped();
  }
  if (subs.size() == 2 && subs[0] == 32) {
    if (const SimGroup* group = accounts_.FindGroupByRid(subs[1])) {
      return AccountLookup{sid, group->displayName, kBuiltinDomain, platform::kSidTypeAlias};
    }
  }
  if (subs.size() == 1 && subs[0] == kRidLocalSystem) {
    return AccountLookup{sid, kSystemName, kNtAuthority, platform::kSidTypeWellKnownGroup};
  }
  return NoneMapped();
}

namespace {

// The policy knows only these names; others fail as the system answers
// (STATUS_NO_SUCH_PRIVILEGE).
constexpr WinError kErrorNoSuchPrivilege = 1313;

bool KnownRight(TextView right) {
  return right.size() > 2 && right.substr(0, 2) == u"Se" &&
         (right.ends_with(u"Right") || right.ends_with(u"Privilege"));
}

bool Holds(const std::vector<Text>& held, TextView right) {
  return std::any_of(held.begin(), held.end(),
                     [right](const Text& one) { return EqualsIgnoreCase(one, right); });
}

}  // namespace

Result<std::vector<Text>> SimSecurity::EnumerateAccountRights(TextView system, const Sid& sid) {
  if (auto e = faults_.Check(CallKind::kRightsQuery)) return e;
  if (!accounts_.IsLocal(system)) return Result<std::vector<Text>>::Failure(kErrorBadNetPath);
  const auto found = rights_.find(sid.ToText());
  if (found == rights_.end() || found->second.empty()) {
    return Result<std::vector<Text>>::Failure(kErrorFileNotFound);
  }
  return found->second;
}

WinError SimSecurity::AddAccountRights(TextView system, const Sid& sid,
                                       const std::vector<Text>& rights) {
  if (auto e = faults_.Check(CallKind::kAccountRights)) return e;
  if (!accounts_.IsLocal(system)) return kErrorBadNetPath;
  if (!std::all_of(rights.begin(), rights.end(), KnownRight)) return kErrorNoSuchPrivilege;
  auto& held = rights_[sid.ToText()];
  for (const Text& right : rights) {
    if (!Holds(held, right)) held.push_back(right);
  }
  return kErrorSuccess;
}

WinError SimSecurity::RemoveAccountRights(TextView system, const Sid& sid,
                                          const std::vector<Text>& rights) {
  if (auto e = faults_.Check(CallKind::kAccountRights)) return e;
  if (!accounts_.IsLocal(system)) return kErrorBadNetPath;
  if (!std::all_of(rights.begin(), rights.end(), KnownRight)) return kErrorNoSuchPrivilege;
  const auto found = rights_.find(sid.ToText());
  if (found == rights_.end()) return kErrorFileNotFound;
  std::erase_if(found->second, [&rights](const Text& one) { return Holds(rights, one); });
  return kErrorSuccess;
}

}  // namespace tarn::sim
