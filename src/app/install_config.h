// InstallConfig: the one program-wide settings record, filled first from the
// command line and then from the settings section of the configuration file.
// Texts live in fixed-capacity fields; every assignment cuts to the capacity.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "app/restart_keys.h"
#include "base/fixed_text.h"
#include "base/text.h"

namespace tarn::app {

inline constexpr char16_t kDefaultIniName[] = u"install.ini";

// What the run does with automatic logon. The numbers are those of the
// "AutoLogon" key; any other number leaves it unchanged.
enum class AutoLogonMode : int32_t { kRemove = 0, kUnchanged = 1, kOn = 2 };

[[nodiscard]] inline AutoLogonMode AutoLogonFromSetting(int32_t value) {
  if (value == static_cast<int32_t>(AutoLogonMode::kRemove)) return AutoLogonMode::kRemove;
  if (value == static_cast<int32_t>(AutoLogonMode::kOn)) return AutoLogonMode::kOn;
  return AutoLogonMode::kUnchanged;
}
inline constexpr int32_t kDisableLoadMenuDefault = 2;
inline constexpr int32_t kSplitterPosDefault = 30;
inline constexpr int32_t kBusyRetriesDefault = 5;
inline constexpr int32_t kBusyPauseDefault = 30;

// Seconds of a setting as milliseconds, wrapping as 32-bit unsigned
// arithmetic does.
[[nodiscard]] inline int32_t SecondsToMs(int32_t seconds) {
  return static_cast<int32_t>(static_cast<uint32_t>(seconds) * 1000u);
}

struct InstallConfig {
  InstallConfig() = default;
  InstallConfig(const InstallConfig&) = delete;
  InstallConfig& operator=(const InstallConfig&) = delete;
  ~InstallConfig() { WipePasswords(); }

  // Overwrites every password field with zeros.
  void WipePasswords() {
    UserPwd.Wipe();
    UserPwdConfirm.Wipe();
    AdminPwd.Wipe();
  }

  FixedText<15> Computer;
  FixedText<15> Workgroup;
  FixedText<20> User;
  FixedText<100> UserPwd;
  FixedText<100> UserPwdConfirm;
  FixedText<260> Owner;
  FixedText<260> Org;
  FixedText<20> Admin;
  FixedText<100> AdminPwd;
  bool AdminPwdGiven = false;
  FixedText<260> Log;
  bool LogEnabled = false;
  FixedText<260> IniPath{kDefaultIniName};
  FixedText<260> UsersPath{kDefaultIniName};
  bool SkipSettings = false;
  bool SkipSoftware = false;
  bool SkipRestart = false;
  bool NoCancel = false;
  bool NoRestartChange = false;
  bool NoAbort = false;
  bool UseCurrent = false;
  AutoLogonMode AutoLogon = AutoLogonMode::kUnchanged;
  // Bit 0 asks for detail lines in the log.
  int32_t Verbose = 0;
  // Seconds.
  int32_t RestartWait = 0;
  bool BeepEnabled = false;
  int32_t BeepInterval = 0;  // ms
  bool AutoInstallEnabled = false;
  int32_t AutoInstallDelay = 0;  // ms
  bool AutoExitEnabled = false;
  int32_t AutoExitDelay = 0;  // ms
  int32_t CountdownMs = 0;
  // 1 disables the entries that load another configuration file.
  int32_t DisableLoadMenu = kDisableLoadMenuDefault;
  bool HasGaps = false;
  // A percentage until the wizard is sized, a pixel position afterwards.
  int32_t SplitterPos = kSplitterPosDefault;
  FixedText<260> DefaultHelp;
  bool DontShowNonDefaultShellFolderWarning = false;
  uint32_t ShellFolderDisallowMask = 0;
  uint32_t ShellFolderHideMask = 0;
  FixedText<1023> OsdText;
  // The value of /language=, empty when not given.
  Text Language;
  // The selection the machine's row of [machines] names: the section
  // "machines.<name>" switches software sections and items on or off.
  Text MachineSelection;
  bool SecondaryLogonRunning = false;
  // The default group of new account records chosen by /Group=: 1 the
  // local Administrators group, 0 the Users group; nullopt when not given.
  std::optional<int32_t> DefaultGroup;

  // For launchers (all off by default, so an existing configuration runs as
  // it always did).
  // "/result=" or "Result": the JSON result file, expanded; empty for none.
  FixedText<260> ResultPath;
  // "ReportTo": a folder (or share) that receives a copy of the result file
  // and the log at the end of each start, expanded; empty for none.
  FixedText<260> ReportTo;
  // "/exitcode=result" or "ExitCode=result": the exit code tells the outcome
  // (0, 3010, 1641, 1602 or 1603) instead of always 0.
  bool ExitCodeFromResult = false;
  // "/resume" or "Resume=1": keep a journal and pass over what an earlier,
  // interrupted run of the same configuration had done.
  bool Resume = false;
  // "InstallerCodes=1": 1641 is a success that needs a restart, and 1618
  // (another installation in progress) is retried.
  bool InstallerCodes = false;
  // "BusyRetries": how often a command ending 1618 is started again.
  int32_t BusyRetries = kBusyRetriesDefault;
  // "BusyPause": seconds before the first retry; each later pause doubles.
  int32_t BusyPause = kBusyPauseDefault;
  // "Timeout": seconds a command may run when neither its entry nor its
  // section gives a limit; 0 for no limit.
  int32_t CommandTimeout = 0;

  // For the administrators' log viewers (off by default).
  // "LogFormat=cmtrace": beside the log, a log in the CMTrace line format.
  bool CmtraceLog = false;
  // Restarts in the middle of a run (all off by default; key names in
  // app/restart_keys.h).
  // "RestartOnRequest=1": restart after an entry that ends needing a restart.
  bool RestartOnRequest = false;
  // "MaxRestarts": the restarts one run may make before it refuses more.
  int32_t MaxRestarts = kMaxRestartsDefault;
  // "RestartIfPending": restart before the run when Windows waits for a restart.
  PendingRestartCheck RestartIfPending = PendingRestartCheck::kOff;
  // "/continue=": this start continues a run after its restart.
  struct ContinuePlace {
    // The restarts the run has made so far.
    uint32_t restarts = 0;
    // The steps of the earlier starts that failed.
    uint32_t failed = 0;
    // The key of the entry the restart followed; empty when the restart came
    // before any entry.
    Text afterEntry;
  };
  std::optional<ContinuePlace> Continue;
};

// The three texts of one wizard page.
struct PageTexts {
  Text title;
  Text headerTitle;
  Text headerSubTitle;
};

inline constexpr size_t kWizardPageCount = 4;
enum WizardPage : int32_t {
  kSettingsPage = 0,
  kAccountsPage = 1,
  kSoftwarePage = 2,
  kStatusPage = 3,
};

// The page texts in wizard order: settings, user accounts, software,
// installation status.
using PageHeaders = std::array<PageTexts, kWizardPageCount>;

}  // namespace tarn::app
