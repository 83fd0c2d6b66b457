// The system-wide settings the installation run writes from InstallConfig:
// the blank-password policy (relaxed while commands run as an account with
// an empty password), automatic logon, the computer name, the registered
// owner and organisation, and the workgroup. None of them stops the run:
// each setting applied tells its first error (logged as a warning), which
// the run reports as a step of its own.
#pragma once

#include <cstdint>
#include <optional>

#include "base/result.h"
#include "base/text.h"

namespace tarn {
struct AppContext;
}
namespace tarn::accounts {
struct UserAccount;
}
namespace tarn::platform {
class Registry;
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
// Where a run keeps the blank-password policy as it found it while the
// policy is relaxed: machine-local, and under HKLM\SOFTWARE only
// administrators and SYSTEM may write it. A DWORD is the value; anything
// else means the value did not exist.
inline constexpr char16_t kProgramKey[] = u"SOFTWARE\\TARN";
inline constexpr char16_t kPolicyRecord[] = u"LimitBlankPasswordUseBeforeRun";
inline constexpr char16_t kAbsentRecord[] = u"absent";

// The blank-password policy as it was before the run relaxed it.
struct SavedBlankPasswordPolicy {
  // The value's number; none when the value did not exist.
  std::optional<uint32_t> value;
};

// Records LimitBlankPasswordUse (or that it does not exist) in the program
// key, written through to the disk, and only then sets it to 0, so that
// accounts with an empty password can start commands: a run that ends
// before it restores the policy (a power loss, a forced end) leaves the
// record for the next one. None when the key did not open, the value could
// not be read or the record not written (then the policy is left as it is).
[[nodiscard]] std::optional<SavedBlankPasswordPolicy> RelaxBlankPasswordPolicy(AppContext& app);

// Writes the saved value back (a value that did not exist is removed again,
// so the system's default, blank passwords limited, returns) and then
// removes the record. Tried twice; a failure is logged as an error and
// leaves the record, so the next run tries again. The error, or success.
[[nodiscard]] WinError RestoreBlankPasswordPolicy(AppContext& app,
                                                  const SavedBlankPasswordPolicy& saved);

// RestoreBlankPasswordPolicy once, without the log: for a thread that may
// not write it. A failure leaves the record for the next run.
[[nodiscard]] WinError PutBackBlankPasswordPolicy(platform::Registry& registry,
                                                  const SavedBlankPasswordPolicy& saved);

// The record an earlier run left behind: restores the policy it holds,
// removes the record and logs what it did. Call before anything reads the
// policy, while no other run can be relaxing it. Success when there is no
// record; the error of a restore that failed.
[[nodiscard]] WinError RestoreLeftBlankPasswordPolicy(AppContext& app);

// How one setting went: none when it was not asked for, else its first
// error (kErrorSuccess when everything was written).
using SettingOutcome = std::optional<WinError>;

// AutoLogon 2 sets automatic logon of `User` (with the password as an LSA
// secret when there is a primary account), 0 removes it, anything else
// leaves it. Nothing happens while the program runs as SYSTEM.
[[nodiscard]] SettingOutcome ApplyAutoLogon(AppContext& app, const accounts::UserAccount* primary);

// The computer's next name and "NV Hostname"; asked for by a non-empty
// `Computer`. `restartNeeded` is set when the computer takes another name
// at the next restart.
[[nodiscard]] SettingOutcome ApplyComputerName(AppContext& app, bool& restartNeeded);

// "RegisteredOwner" and "RegisteredOrganization", always written (start-up
// fills them from the machine when the configuration leaves them empty);
// asked for by a non-empty text.
[[nodiscard]] SettingOutcome ApplyOwner(AppContext& app);
[[nodiscard]] SettingOutcome ApplyOrganization(AppContext& app);

// Makes the computer a member of the workgroup `Workgroup`; asked for by a
// non-empty name the computer is not a member of yet (joining it again
// would change nothing).
[[nodiscard]] SettingOutcome ApplyWorkgroup(AppContext& app);

}  // namespace tarn::run
