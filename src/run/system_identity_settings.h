// The system-wide settings the installation run writes from InstallConfig:
// the blank-password policy (relaxed for the run), automatic logon, the
// computer name, the registered owner and organisation, and the workgroup.
// None of them fails the run: what could not be set is logged as a warning
// (a key that does not open skips its writes).
#pragma once

#include <cstdint>
#include <optional>

#include "base/text.h"

namespace tarn {
struct AppContext;
}
namespace tarn::accounts {
struct UserAccount;
}

namespace tarn::run {

inline constexpr char16_t kLsaKey[] = u"SYSTEM\\CurrentControlSet\\Control\\Lsa";
inline constexpr char16_t kLimitBlankPasswordUse[] = u"LimitBlankPasswordUse";
inline constexpr char16_t kWinlogonKey[] =
    u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
inline constexpr char16_t kTcpipParametersKey[] =
    u"SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline constexpr char16_t kCurrentVersionKey[] = u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr char16_t kDefaultPasswordSecret[] = u"DefaultPassword";

// The blank-password policy as it was before the run relaxed it.
struct SavedBlankPasswordPolicy {
  // The value's number; none when the value did not exist.
  std::optional<uint32_t> value;
};

// Saves LimitBlankPasswordUse and sets it to 0, so that accounts with an
// empty password can start commands. None when the key did not open or the
// value could not be read (then nothing was written).
[[nodiscard]] std::optional<SavedBlankPasswordPolicy> RelaxBlankPasswordPolicy(AppContext& app);

// Writes the saved value back; a value that did not exist before is removed
// again, so the system's default (blank passwords limited) returns instead of
// a relaxed policy being left behind. Tried twice; a failure is logged as an
// error.
void RestoreBlankPasswordPolicy(AppContext& app, const SavedBlankPasswordPolicy& saved);

// AutoLogon 2 sets automatic logon of `User` (with the password as an LSA
// secret when there is a primary account), 0 removes it, anything else
// leaves it. Nothing happens while the program runs as SYSTEM.
void ApplyAutoLogon(AppContext& app, const accounts::UserAccount* primary);

// The computer's next name and "NV Hostname". True when the computer takes
// another name at the next restart.
[[nodiscard]] bool ApplyComputerName(AppContext& app);

// "RegisteredOrganization" and "RegisteredOwner".
void ApplyOwner(AppContext& app);

// Makes the computer a member of the workgroup `Workgroup`.
void ApplyWorkgroup(AppContext& app);

}  // namespace tarn::run
