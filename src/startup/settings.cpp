#include "startup/settings.h"

#include <algorithm>

#include "accounts/password_scrambling.h"
#include "app/outcome_keys.h"
#include "base/format.h"
#include "base/shell_folder_names.h"
#include "base/wipe.h"
#include "platform/profile_files.h"

namespace tarn::startup {
namespace {

// Reads one settings key at a time from one file.
class SettingsReader {
 public:
  SettingsReader(platform::ProfileFiles& profiles, TextView iniPath)
      : profiles_(profiles), iniPath_(iniPath) {}

  // The value of `key` read into a buffer of `capacity` units, terminator included.
  [[nodiscard]] Text String(TextView key, uint32_t capacity) {
    return profiles_.GetString(iniPath_, kSettingsSection, key, u"", capacity).data;
  }
  // A password key: its text, or, when "<key>Crypted" gives a byte count,
  // the scrambled form the users file uses, in at most `capacity` units.
  // Every copy but the answer is wiped; the caller wipes the answer.
  [[nodiscard]] Text Password(TextView key, uint32_t capacity) {
    const int32_t crypted = Int(Text(key) + u"Crypted", 0);
    if (crypted == 0) return String(key, capacity);
    std::optional<Text> password = accounts::ReadScrambledValue(
        profiles_, iniPath_, kSettingsSection, key, crypted, accounts::kReadBufferBytes);
    if (!password) return Text();
    Text answer(TextView(*password).substr(0, capacity - 1));
    WipeText(*password);
    return answer;
  }
  [[nodiscard]] int32_t Int(TextView key, int32_t defaultValue) {
    return profiles_.GetInt(iniPath_, kSettingsSection, key, defaultValue);
  }

  // Reads a text key only while the field is still empty.
  template <size_t N>
  void TextIfEmpty(FixedText<N>& field, TextView key, uint32_t capacity) {
    if (field.empty()) field = String(key, capacity);
  }
  // Reads a switch only while it is still 0.
  void IntIfZero(int32_t& field, TextView key) {
    if (field == 0) field = Int(key, 0);
  }
  // A switch the command line left off is switched on by a non-zero number.
  void FlagIfOff(bool& field, TextView key) {
    if (!field) field = Int(key, 0) != 0;
  }
  // Reads a seconds key into a millisecond delay unless it is already armed.
  void DelayIfUnarmed(bool& enabled, int32_t& delayMs, TextView key) {
    if (enabled) return;
    delayMs = app::SecondsToMs(Int(key, 0));
    enabled = delayMs != 0;
  }

 private:
  platform::ProfileFiles& profiles_;
  TextView iniPath_;
};

void ReadPageHeaders(SettingsReader& reader, app::PageHeaders& headers) {
  for (size_t page = 0; page < headers.size(); ++page) {
    const int index = static_cast<int>(page);
    const Text title = reader.String(Format(u"PageHeaderTitle.%d", {index}), 255);
    if (!title.empty()) headers[page].headerTitle = title;
    const Text subTitle = reader.String(Format(u"PageHeaderSubTitle.%d", {index}), 255);
    if (!subTitle.empty()) headers[page].headerSubTitle = subTitle;
  }
}

void ReadIdentity(SettingsReader& reader, app::InstallConfig& config) {
  // Names are read whole up to the longest the system allows (15 for a
  // computer or workgroup, 20 for an account; the buffer holds one unit more
  // for the terminator): one unit less would turn PC-FLOOR2-ROOM15 and
  // PC-FLOOR2-ROOM16 into the same name.
  reader.TextIfEmpty(config.Computer, u"Computer", 16);
  reader.TextIfEmpty(config.Workgroup, u"Workgroup", 16);
  reader.TextIfEmpty(config.User, u"User", 21);
  if (config.UserPwd.empty()) {
    SecretText password(reader.Password(u"UserPwd", 100));
    config.UserPwd = password.str();
  }
  reader.TextIfEmpty(config.Owner, u"Owner", 128);
  reader.TextIfEmpty(config.Org, u"Org", 128);
  reader.TextIfEmpty(config.Admin, u"Admin", 21);
  if (config.AdminPwd.empty()) {
    SecretText password(reader.Password(u"AdminPwd", 100));
    config.AdminPwd = password.str();
    if (!password.str().empty()) config.AdminPwdGiven = true;
  }
  if (!config.LogEnabled) {
    config.Log = reader.String(u"Log", 260);
    config.LogEnabled = !config.Log.empty();
  }
}

void ReadSwitches(SettingsReader& reader, app::InstallConfig& config) {
  reader.FlagIfOff(config.SkipSettings, u"SkipSettings");
  if (config.SkipSettings) config.UseCurrent = true;
  reader.FlagIfOff(config.SkipSoftware, u"SkipSoftware");
  reader.FlagIfOff(config.SkipRestart, u"SkipRestart");
  reader.FlagIfOff(config.NoCancel, u"NoCancel");
  if (config.AutoLogon == app::AutoLogonMode::kUnchanged) {
    config.AutoLogon = app::AutoLogonFromSetting(
        reader.Int(u"AutoLogon", static_cast<int32_t>(app::AutoLogonMode::kUnchanged)));
  }
  reader.IntIfZero(config.Verbose, u"Verbose");
  reader.FlagIfOff(config.NoRestartChange, u"NoRestartChange");
  reader.DelayIfUnarmed(config.BeepEnabled, config.BeepInterval, u"beep");
  reader.DelayIfUnarmed(config.AutoInstallEnabled, config.AutoInstallDelay, u"AutoInstall");
  reader.DelayIfUnarmed(config.AutoExitEnabled, config.AutoExitDelay, u"AutoExit");
  reader.IntIfZero(config.RestartWait, u"RestartWait");
  reader.FlagIfOff(config.UseCurrent, u"UseCurrent");
  if (config.DisableLoadMenu == app::kDisableLoadMenuDefault) {
    config.DisableLoadMenu = reader.Int(u"DisableLoadMenu", app::kDisableLoadMenuDefault);
  }
  if (!config.HasGaps) config.HasGaps = reader.Int(u"HasGaps", 0) != 0;
}

// What a launcher asks for: the result file, the exit code that tells the
// outcome and the resume journal.
void ReadLauncherKeys(SettingsReader& reader, app::InstallConfig& config) {
  // Expanded by the start-up, which holds the environment.
  if (config.ResultPath.empty()) config.ResultPath = reader.String(u"Result", 261);
  config.ReportTo = reader.String(u"ReportTo", 261);
  if (!config.ExitCodeFromResult) {
    config.ExitCodeFromResult = EqualsIgnoreCase(reader.String(u"ExitCode", 16), u"result");
  }
  reader.FlagIfOff(config.Resume, u"Resume");
}

// Time limits and installer exit codes for unattended runs; no command-line
// switch sets them.
void ReadLauncherLimits(SettingsReader& reader, app::InstallConfig& config) {
  config.CommandTimeout = std::max(0, reader.Int(u"Timeout", config.CommandTimeout));
  config.InstallerCodes = reader.Int(u"InstallerCodes", config.InstallerCodes ? 1 : 0) == 1;
  config.BusyRetries = std::clamp(reader.Int(u"BusyRetries", config.BusyRetries), 0, 20);
  config.BusyPause = std::clamp(reader.Int(u"BusyPause", config.BusyPause), 1, 3600);
}

// The log formats beside the program's own log.
void ReadLogFormat(SettingsReader& reader, app::InstallConfig& config) {
  config.CmtraceLog = EqualsIgnoreCase(TrimBlanks(reader.String(app::keys::kLogFormat, 32)),
                                       app::keys::kLogFormatCmtrace);
}

// Restarts in the middle of the run; no command-line switch sets them.
void ReadRestartKeys(SettingsReader& reader, app::InstallConfig& config) {
  config.RestartOnRequest = reader.Int(app::kKeyRestartOnRequest, 0) == 1;
  config.MaxRestarts =
      std::clamp(reader.Int(app::kKeyMaxRestarts, config.MaxRestarts), 0, app::kMaxRestartsLimit);
  const int32_t pending = reader.Int(app::kKeyRestartIfPending, 0);
  config.RestartIfPending = pending == 1   ? app::PendingRestartCheck::kSystem
                            : pending == 2 ? app::PendingRestartCheck::kSystemAndRenames
                                           : app::PendingRestartCheck::kOff;
}

void ReadAlways(SettingsReader& reader, app::InstallConfig& config) {
  ReadLauncherLimits(reader, config);
  ReadLogFormat(reader, config);
  ReadRestartKeys(reader, config);
  config.SplitterPos = reader.Int(u"SplitterPos", config.SplitterPos);
  config.DefaultHelp = reader.String(u"DefaultHelp", 261);
  config.DontShowNonDefaultShellFolderWarning =
      reader.Int(u"DontShowNonDefaultShellFolderWarning",
                 config.DontShowNonDefaultShellFolderWarning ? 1 : 0) != 0;
  config.ShellFolderDisallowMask =
      ParseShellFolderMask(reader.String(u"ShellFolderModify.Disallow", 260));
  config.ShellFolderHideMask = ParseShellFolderMask(reader.String(u"ShellFolderModify.Hide", 260));
}

bool StartsWithDigit(TextView item) {
  return !item.empty() && item[0] >= u'0' && item[0] <= u'9';
}

}  // namespace

void ReadSettings(platform::ProfileFiles& profiles, TextView iniPath, app::InstallConfig& config,
                  app::PageHeaders& headers) {
  SettingsReader reader(profiles, iniPath);
  ReadPageHeaders(reader, headers);
  config.OsdText = reader.String(u"OsdText", 1024);
  ReadIdentity(reader, config);
  ReadSwitches(reader, config);
  ReadLauncherKeys(reader, config);
  ReadAlways(reader, config);
}

uint32_t ParseShellFolderMask(TextView value) {
  uint32_t mask = 0;
  size_t pos = 0;
  while (pos <= value.size()) {
    size_t comma = value.find(u',', pos);
    if (comma == TextView::npos) comma = value.size();
    const TextView item = value.substr(pos, comma - pos);
    if (StartsWithDigit(item)) return ParseNumberAutoBase(item);
    if (const auto folder = FindShellFolder(item)) mask |= 1u << *folder;
    pos = comma + 1;
    while (pos < value.size() && IsBlank(value[pos])) ++pos;
  }
  return mask;
}

app::WizardPage ChooseStartPage(const app::InstallConfig& config) {
  if (!config.SkipSettings) return app::kSettingsPage;
  return config.SkipSoftware ? app::kStatusPage : app::kSoftwarePage;
}

}  // namespace tarn::startup
