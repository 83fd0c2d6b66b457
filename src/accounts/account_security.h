// Security identifiers, the built-in groups and account rights of the
// account code. The groups are named by their well-known SIDs and their
// display names asked from the system each time, so the same configuration
// works on every language edition. Every failure is silent: a right that
// can't be checked counts as not held, a membership that can't change stays.
#pragma once

#include <cstdint>
#include <optional>

#include "accounts/account_services.h"
#include "base/text.h"
#include "platform/security.h"

namespace tarn::accounts {

// Bits of HasAccountRight.
inline constexpr uint32_t kRightHeldDirectly = 1;
inline constexpr uint32_t kRightHeldThroughGroup = 2;

// The name of the right that keeps an account off the console.
inline constexpr char16_t kDenyInteractiveLogonRight[] = u"SeDenyInteractiveLogonRight";

// The SID of the user account `name` on `server` (empty: this computer).
// A name equal to the computer's or a domain's name is retried as
// "name\name". Only a user SID is answered: a group, alias or well-known
// name gives nullopt, so that no membership or right change can reach a
// group through an account record.
[[nodiscard]] std::optional<platform::Sid> ResolveAccountSid(const AccountServices& services,
                                                             TextView server, TextView name);

// The display name of the well-known group `sid` on `server` in the
// system's language; empty when the system doesn't know it.
[[nodiscard]] Text GroupDisplayName(const AccountServices& services, TextView server,
                                    const platform::Sid& sid);

// Which of kRightHeldDirectly and kRightHeldThroughGroup apply to the
// account `name` and the right `right` (compared ignoring case); 0 when
// neither, or when the account doesn't resolve.
[[nodiscard]] uint32_t HasAccountRight(const AccountServices& services, TextView server,
                                       TextView name, TextView right);

// Withdraws the comma-separated `rights` from the account itself in one
// call; true when the policy accepted it.
bool DropAccountRights(const AccountServices& services, TextView server, TextView name,
                       TextView rights);

// A move between the two built-in groups, named by their well-known SIDs,
// and the privilege level the account has by the membership afterwards.
struct GroupChange {
  uint32_t privilege = 0;
  platform::Sid join;
  platform::Sid leave;
};

// The membership change that `group` (kGroupUsers, kGroupAdministrators)
// asks for, administrators for a primary account whatever its group;
// nullopt for kGroupUnchanged (and any other value).
[[nodiscard]] std::optional<GroupChange> GroupChangeOf(int32_t group, bool primary);

// Applies GroupChangeOf(group, primary) to the account `sid` (named `name`)
// by membership alone: it joins one built-in group, then leaves the other;
// its privilege level follows. The first failure that matters (a member
// already there, or not there, is none); a failed join leaves the account in
// its groups.
[[nodiscard]] WinError SetAccountGroup(const AccountServices& services, TextView server,
                                       TextView name, const platform::Sid& sid, int32_t group,
                                       bool primary);

// Why the run must not delete an account or take it out of Administrators.
enum class Protection {
  kNone,
  // The account the program runs under.
  kOwnAccount,
  // An enabled member of Administrators, and no other enabled account of
  // the group would remain.
  kLastAdministrator,
  // The members of Administrators or the program's own account can't be
  // read, so neither of the above can be ruled out.
  kUnknown,
};

// Whether `sid` is the last enabled account among the members of
// Administrators on `server`: true when it is an enabled member and no other
// member is an enabled user account; nullopt when the members can't be read.
[[nodiscard]] std::optional<bool> IsLastEnabledAdministrator(const AccountServices& services,
                                                             TextView server,
                                                             const platform::Sid& sid);

// What keeps the run from deleting the account `sid` on `server`
// (`deleting`) or from taking it out of Administrators (otherwise; an
// account that isn't a member has nothing to lose).
[[nodiscard]] Protection ProtectionOf(const AccountServices& services, TextView server,
                                      const platform::Sid& sid, bool deleting);

// Turns the local account `name` into a standard user by membership: it
// joins Users, then leaves Administrators. The first failure that matters;
// an unknown name, or one that isn't a user account, changes nothing and is
// kErrorNoneMapped; the last enabled administrator (or one that can't be
// told apart from it) changes nothing and is kErrorAccessDenied.
[[nodiscard]] WinError DowngradeAccount(const AccountServices& services, TextView name);

}  // namespace tarn::accounts
