// Security identifiers and account-name look-ups, with the semantics of the
// system's LookupAccountNameW / LookupAccountSidW.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/result.h"
#include "base/text.h"

namespace tarn::platform {

// SID_NAME_USE values.
inline constexpr uint32_t kSidTypeUser = 1;
inline constexpr uint32_t kSidTypeGroup = 2;
inline constexpr uint32_t kSidTypeDomain = 3;
inline constexpr uint32_t kSidTypeAlias = 4;
inline constexpr uint32_t kSidTypeWellKnownGroup = 5;

// Relative identifier of the machine's built-in administrator.
inline constexpr uint32_t kRidAdministrator = 500;

// A security identifier in its parts.
struct Sid {
  uint8_t revision = 1;
  std::array<uint8_t, 6> authority{0, 0, 0, 0, 0, 5};
  std::vector<uint32_t> subAuthorities;

  // "S-1-5-21-...": the authority in decimal (hexadecimal 0x... above 2^32),
  // then each sub-authority.
  [[nodiscard]] Text ToText() const;
  // The binary form as the system stores it (8 + 4 × count bytes).
  [[nodiscard]] std::vector<uint8_t> ToBytes() const;
  // Parses "S-1-..."; nullopt for malformed text or more than 15 sub-authorities.
  [[nodiscard]] static std::optional<Sid> FromText(TextView text);
  // Parses the binary form; nullopt when the length doesn't match.
  [[nodiscard]] static std::optional<Sid> FromBytes(const std::vector<uint8_t>& bytes);

  friend bool operator==(const Sid&, const Sid&) = default;
};

// What a name or SID look-up answers.
struct AccountLookup {
  Sid sid;
  // The account's own name as the system spells it.
  Text name;
  // The computer or domain that holds it.
  Text domain;
  uint32_t use = 0;
};

// Access-list entry flags and rights used for profiles.
inline constexpr uint8_t kAceObjectInherit = 0x1;
inline constexpr uint8_t kAceContainerInherit = 0x2;
inline constexpr uint8_t kAceInheritOnly = 0x8;
inline constexpr uint8_t kAceInherited = 0x10;
inline constexpr uint32_t kFileAllAccess = 0x1F01FF;
inline constexpr uint32_t kGenericAll = 0x10000000;

// An access-allowed entry of a discretionary access list: who, how it is
// inherited (kAce...), which rights.
struct AccessEntry {
  Sid sid;
  uint8_t flags = 0;
  uint32_t mask = 0;

  friend bool operator==(const AccessEntry&, const AccessEntry&) = default;
};

class Security {
 public:
  virtual ~Security() = default;

  // LookupAccountNameW(system, name): `system` empty is the local computer.
  // The name may be "domain\\account". Fails with kErrorNoneMapped when
  // nothing of that name exists.
  [[nodiscard]] virtual Result<AccountLookup> LookupName(TextView system, TextView name) = 0;
  // LookupAccountSidW(system, sid).
  [[nodiscard]] virtual Result<AccountLookup> LookupSid(TextView system, const Sid& sid) = 0;

  // Account rights.
  // LsaEnumerateAccountRights on the policy of `system`: the rights and
  // privileges that `sid` holds itself (not through its groups). A SID that
  // holds none fails with kErrorFileNotFound, as the system answers.
  [[nodiscard]] virtual Result<std::vector<Text>> EnumerateAccountRights(TextView system,
                                                                         const Sid& sid) = 0;
  // LsaAddAccountRights: grants `rights` (e.g. "SeDenyInteractiveLogonRight").
  [[nodiscard]] virtual WinError AddAccountRights(TextView system, const Sid& sid,
                                                  const std::vector<Text>& rights) = 0;
  // LsaRemoveAccountRights with AllRights false: withdraws `rights`; names the
  // SID doesn't hold are ignored.
  [[nodiscard]] virtual WinError RemoveAccountRights(TextView system, const Sid& sid,
                                                     const std::vector<Text>& rights) = 0;
};

// Well-known SIDs under the NT authority.
[[nodiscard]] inline Sid AdministratorsSid() {
  return Sid{1, {0, 0, 0, 0, 0, 5}, {32, 544}};
}
[[nodiscard]] inline Sid UsersSid() {
  return Sid{1, {0, 0, 0, 0, 0, 5}, {32, 545}};
}
[[nodiscard]] inline Sid LocalSystemSid() {
  return Sid{1, {0, 0, 0, 0, 0, 5}, {18}};
}
// Everyone (world authority).
[[nodiscard]] inline Sid EveryoneSid() {
  return Sid{1, {0, 0, 0, 0, 0, 1}, {0}};
}
// CREATOR OWNER (creator authority): stands for whoever creates an object
// below the entry's folder.
[[nodiscard]] inline Sid CreatorOwnerSid() {
  return Sid{1, {0, 0, 0, 0, 0, 3}, {0}};
}
// NT SERVICE\TrustedInstaller, which owns the system's own files.
[[nodiscard]] inline Sid TrustedInstallerSid() {
  return Sid{
      1, {0, 0, 0, 0, 0, 5}, {80, 956008885u, 3418522649u, 1831038044u, 1853292631u, 2271478464u}};
}
// RESTRICTED: what a restricted token's second access check runs as.
[[nodiscard]] inline Sid RestrictedSid() {
  return Sid{1, {0, 0, 0, 0, 0, 5}, {12}};
}
// ALL APPLICATION PACKAGES (application package authority): every store
// app and the Settings app, which read a user's keys through it.
[[nodiscard]] inline Sid AllApplicationPackagesSid() {
  return Sid{1, {0, 0, 0, 0, 0, 15}, {2, 1}};
}

}  // namespace tarn::platform
