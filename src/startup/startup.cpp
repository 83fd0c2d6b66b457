#include "startup/startup.h"

#include <array>
#include <future>
#include <optional>

#include "app/program_version.h"
#include "app/startup_variables.h"
#include "base/format.h"
#include "base/paths.h"
#include "base/wipe.h"
#include "catalogue/plan_file.h"
#include "platform/desktop.h"
#include "platform/environment.h"
#include "platform/platform.h"
#include "platform/profile_snapshot.h"
#include "platform/services.h"
#include "platform/system_info.h"
#include "resource.h"
#include "run/planned_command_lines.h"
#include "run/protected_files.h"
#include "run/restart_rules.h"
#include "run/result_file.h"
#include "run/resume_journal.h"
#include "run/run_restarts.h"
#include "run/system_identity_settings.h"
#include "startup/command_line.h"
#include "startup/configuration_check.h"
#include "startup/launcher_records.h"
#include "startup/machine_data.h"
#include "startup/settings.h"
#include "startup/single_instance.h"

namespace tarn::startup {
namespace {

constexpr uint32_t kRestartMessage = IDS_RESTART_MESSAGE;
constexpr uint32_t kHelpCaption = IDS_HELP_CAPTION;
constexpr uint32_t kHelpFirst = IDS_HELP_FIRST;
constexpr uint32_t kHelpLast = IDS_HELP_LAST;
// The version stands alone in a window only when there is nowhere to print
// it; About's caption names the program.
constexpr uint32_t kVersionCaption = IDD_ABOUT;
// The findings of /check= stand in a window only when there is nowhere to
// print them; the help's caption names the program.
constexpr uint32_t kCheckCaption = IDS_HELP_CAPTION;
constexpr uint32_t kEnglishNameCapacity = 64;

struct PageTextNumbers {
  uint32_t title, headerTitle, headerSubTitle;
};
constexpr std::array<PageTextNumbers, app::kWizardPageCount> kPageTextNumbers = {{
    {IDS_SETTINGS_PAGE_TITLE, IDS_SETTINGS_HEADER_TITLE, IDS_SETTINGS_HEADER_SUBTITLE},
    {IDS_ACCOUNTS_PAGE_TITLE, IDS_ACCOUNTS_HEADER_TITLE, IDS_ACCOUNTS_HEADER_SUBTITLE},
    {IDS_SOFTWARE_PAGE_TITLE, IDS_SOFTWARE_HEADER_TITLE, IDS_SOFTWARE_HEADER_SUBTITLE},
    {IDS_STATUS_PAGE_TITLE, IDS_STATUS_HEADER_TITLE, IDS_STATUS_HEADER_SUBTITLE},
}};

void ChooseLanguage(AppContext& app, const std::vector<TextView>& arguments) {
  const std::optional<TextView> code = FindLanguageOption(arguments);
  if (code) app.config.Language = Text(*code);
  app.translator.ChooseDisplayLanguage(code);
}

void SetRuntimeLanguage(platform::SystemInfo& system) {
  const Text english = system.LocaleInfo(system.ThreadLocale(), platform::kLocaleSEnglishLanguage,
                                         kEnglishNameCapacity);
  system.SetRuntimeLocale(english);
}

void ShowHelp(AppContext& app, WizardHost& host) {
  const Text text = BuildHelpText(app.translator, app::VersionLine(app::ThisProgramBuild()));
  host.ShowHelp(app, text, app.translator.Translate(kHelpCaption));
}

void ShowVersion(AppContext& app, WizardHost& host) {
  host.ShowVersion(app, app::VersionLine(app::ThisProgramBuild()),
                   app.translator.Translate(kVersionCaption));
}

// The findings of a configuration file, printed as the version is (a
// console, a pipe or a file, else a window); 1 when any is an error, 2 when
// the file cannot be read.
int CheckConfigurationFile(AppContext& app, WizardHost& host, TextView given) {
  // A person at a prompt names the file from the folder they are in.
  const std::optional<Text> current = app.platform.environment->Get(u"CURDIR");
  const Text path = PathIsRelative(given) && current ? PathAppend(*current, given) : Text(given);
  auto bytes = app.platform.files->ReadAll(path);
  if (!bytes) {
    host.ShowVersion(app,
                     Format(u"%s: error: cannot read the file (error %u)", {given, bytes.error()}),
                     app.translator.Translate(kCheckCaption));
    return 2;
  }
  CheckInput input;
  input.file = Text(given);
  input.iniDir = PathRemoveFileSpec(path);
  input.ansiCodePage = app.platform.system->AnsiCodePage();
  platform::FileSystem& files = *app.platform.files;
  input.fileExists = [&files](TextView file) { return files.Exists(file); };
  const std::vector<Diagnostic> findings = CheckConfiguration(*bytes, input);
  WipeBytes(*bytes);
  const Text report =
      findings.empty() ? Text(given) + u": no findings\n" : FormatDiagnostics(findings);
  host.ShowVersion(app, report, app.translator.Translate(kCheckCaption));
  return HasErrors(findings) ? 1 : 0;
}

void MakePathsAbsolute(AppContext& app) {
  const Text folder = app::ProgramFolder(*app.platform.system);
  app.config.IniPath = app::MakeAbsoluteToProgram(app.config.IniPath, folder);
  (void)app.platform.environment->Set(u"INIDIR", PathRemoveFileSpec(app.config.IniPath));
  app.config.UsersPath = app::MakeAbsoluteToProgram(app.config.UsersPath, folder);
}

// Backup and restore, which open every file and hive, are enabled only
// around the calls that need them (platform::PrivilegeScope); nothing the
// program calls on Windows 10/11 needs the TCB privilege.
void EnablePrivileges(platform::Services& services) {
  (void)services.EnablePrivileges({u"SeShutdownPrivilege"});
}

// Runs `work` on a thread of its own where the platform allows calls from
// several threads, else when its result is first asked for.
template <typename Work>
auto StartAside(const platform::Platform& platform, Work work) {
  return std::async(platform.concurrentCalls ? std::launch::async : std::launch::deferred,
                    std::move(work));
}

// The service manager answers through a round trip to another process;
// the question is asked early and the answer taken when it is needed.
std::future<std::optional<bool>> AskSecondaryLogon(const platform::Platform& platform) {
  platform::Services* services = platform.services;
  return StartAside(platform, [services] { return services->IsServiceRunning(u"seclogon"); });
}

// Without the service, commands cannot run under other credentials: the
// program then works as the current user and leaves automatic logon on.
void CheckSecondaryLogon(AppContext& app, std::future<std::optional<bool>>& answer) {
  const bool running = answer.get().value_or(false);
  app.config.SecondaryLogonRunning = running;
  if (running) return;
  app.config.UseCurrent = true;
  app.config.AutoLogon = app::AutoLogonMode::kOn;
  app.log.Write(kSecondaryLogonWarning, app::kLogWarning, 0);
}

// The service's answer is taken as late as it can be: only the settings
// account depends on it (without the service the current user is used).
void PrepareAccounts(AppContext& app, AccountSteps& accounts,
                     std::future<std::optional<bool>>& secondaryLogon) {
  accounts.PrepareInstallationVariables(app, app.config.IniPath);
  accounts.ReadAccounts(app, app.config.UsersPath);
  if (!app.config.Admin.empty() || app.config.AdminPwdGiven) {
    accounts.MergeAdministratorAccount(app);
  }
  CheckSecondaryLogon(app, secondaryLogon);
  accounts.MergeSettingsAccount(app);
}

void CleanUp(AppContext& app, const StartupParts& parts) {
  parts.accounts.ReleaseAccounts(app);
  app.pageHeaders = app::PageHeaders{};
  parts.wizard.ReleaseUserInterface(app);
  app.log.Close();
  parts.wizard.SaveWizardSize(app);
}

// What the elevated program relies on and writes, as this start found them.
run::GuardedPaths GuardedPathsOf(AppContext& app) {
  const app::InstallConfig& config = app.config;
  run::GuardedPaths paths;
  paths.program = app.platform.system->ModuleFileName();
  paths.settings = {Text(config.IniPath), Text(config.UsersPath),
                    app.translator.LanguagesFilePath()};
  paths.secrets = {Text(config.IniPath), Text(config.UsersPath)};
  if (app.log.IsOpen()) paths.outputFolders.push_back(PathRemoveFileSpec(app.log.path()));
  if (!config.ResultPath.empty()) {
    const Text folder = app::ProgramFolder(*app.platform.system);
    paths.outputFolders.push_back(
        PathRemoveFileSpec(app::MakeAbsoluteToProgram(config.ResultPath, folder)));
  }
  if (config.Resume) {
    paths.outputFolders.push_back(
        PathRemoveFileSpec(run::JournalPathFor(app.platform, config.IniPath)));
  }
  paths.resumes = config.Resume;
  return paths;
}

// The wizard's end asks for the restart at the end of the run.
bool WantsRestart(const AppContext& app, WizardOutcome outcome) {
  return outcome == WizardOutcome::kFinished && !app.config.SkipRestart;
}

// True when Windows took the request to restart.
bool RequestRestart(AppContext& app, WizardOutcome outcome) {
  if (!WantsRestart(app, outcome)) return false;
  const Text message = app.translator.Translate(kRestartMessage);
  return app.platform.system->InitiateShutdown(
             message, static_cast<uint32_t>(app.config.RestartWait),
             /*forceAppsClosed=*/false, /*reboot=*/true, kRestartReason) == kErrorSuccess;
}

// The arguments a start after a restart gets: these, without passwords (the
// task that starts it keeps its command line readable) and without the place
// of an earlier restart.
Text ContinueArguments(const std::vector<TextView>& arguments) {
  Text kept;
  for (const TextView argument : arguments) {
    if (argument.empty() || StartsWithIgnoreCase(argument, u"/userpwd=") ||
        StartsWithIgnoreCase(argument, u"/adminpwd=") ||
        StartsWithIgnoreCase(argument, u"/continue=")) {
      continue;
    }
    if (!kept.empty()) kept += u" ";
    kept += argument;
  }
  return kept;
}

// A start after a restart has nobody to press its buttons: it starts the
// run and ends by itself.
void ContinueUnattended(app::InstallConfig& config) {
  if (!config.Continue || config.AutoInstallEnabled) return;
  config.AutoInstallEnabled = true;
  config.AutoInstallDelay = 0;
}

// The settings are many keys of one file: read from one copy of it.
void ReadStartSettings(AppContext& app) {
  platform::ProfileSnapshot snapshot(*app.platform.profiles, *app.platform.files,
                                     app.config.IniPath, app.platform.system->AnsiCodePage());
  ReadSettings(snapshot, app.config.IniPath, app.config, app.pageHeaders);
}

// Everything after the option pass; returns the exit code when the program
// is to end.
uint32_t RunAfterOptions(AppContext& app, const CommandLineOutcome& options,
                         const StartupParts& parts,
                         std::future<std::optional<bool>>& secondaryLogon) {
  if (app.config.LogEnabled) app.log.Open(app.config.Log, /*append=*/app.config.Resume);
  MakePathsAbsolute(app);
  if (options.encryptIni) {
    parts.accounts.ScramblePasswords(app, app.config.UsersPath);
    return 0;
  }
  if (options.decryptIni) {
    parts.accounts.UnscramblePasswords(app, app.config.UsersPath);
    return 0;
  }

  const bool logOpened = app.config.LogEnabled;
  const bool resultFromLine = !app.config.ResultPath.empty();
  const IdentityGiven identityGiven = IdentityFromCommandLine(app.config);
  ReadStartSettings(app);
  ContinueUnattended(app.config);
  if (parts.failure != nullptr) parts.failure->Follow(app.config);
  // "/result=" was expanded as it was read; the key is expanded once, here.
  if (!resultFromLine && !app.config.ResultPath.empty()) {
    app.config.ResultPath = platform::ExpandWhole(*app.platform.environment, app.config.ResultPath);
  }
  if (!app.config.ReportTo.empty()) {
    app.config.ReportTo = app::MakeAbsoluteToProgram(
        platform::ExpandWhole(*app.platform.environment, app.config.ReportTo),
        app::ProgramFolder(*app.platform.system));
  }
  // A plan only reads: opening the settings' log would empty the log of the
  // last real run.
  if (!options.planFile.empty()) {
    const std::vector<TextView> secrets = {app.config.UserPwd.view(), app.config.AdminPwd.view()};
    (void)catalogue::WritePlanFile(app.platform, app.config.IniPath, {app.config.HasGaps},
                                   options.planFile, run::LaunchCommandLines(app.platform, secrets),
                                   secrets);
    return 0;
  }
  if (!logOpened && app.config.LogEnabled)
    app.log.Open(app.config.Log, /*append=*/app.config.Resume);
  ApplyMachineData(app, identityGiven);
  // Before anything reads the policy: a run that died relaxed must not make
  // the relaxed value look like the machine's own.
  const WinError policy = run::RestoreLeftBlankPasswordPolicy(app);
  app.startPage = ChooseStartPage(app.config);
  // Reading the access lists of the program's files takes a while; the
  // wizard is prepared meanwhile and the warnings written before it opens.
  std::future<std::vector<Text>> guardedPathWarnings =
      StartAside(app.platform, [platform = app.platform, paths = GuardedPathsOf(app)] {
        return run::FindGuardedPathWarnings(platform, paths);
      });

  EnablePrivileges(*app.platform.services);
  parts.wizard.PrepareUserInterface(app);
  PrepareAccounts(app, parts.accounts, secondaryLogon);

  LauncherRecords records(app);
  run::ReportGuardedPathWarnings(app, guardedPathWarnings.get());
  app.runObserver = records.observer();
  const WizardOutcome outcome = parts.wizard.RunWizard(app);
  app.runObserver = nullptr;
  // A policy nobody could restore weakens the machine: the run failed.
  if (policy != kErrorSuccess) app.runTotals.endedByError = true;
  const bool continues = app.runTotals.continuesAfterRestart;
  // The copy for the report folder goes before a restart is asked for (the
  // network is gone once Windows shuts down) and while the log is open for
  // its warning; without a restart it holds the exit code as well.
  const bool restartFollows = continues || WantsRestart(app, outcome);
  std::optional<uint32_t> exitCode;
  if (!restartFollows) exitCode = records.Close(app);
  records.CopyToReport(app);
  if (continues) app.runTotals.restartStarted = run::RequestContinueRestart(app);
  CleanUp(app, parts);
  if (!continues) app.runTotals.restartStarted = RequestRestart(app, outcome);
  return exitCode ? *exitCode : records.Close(app);
}

// A start while another run holds the lock ends at once. It reads the
// settings only to find the log its line goes beside.
uint32_t RefuseStart(AppContext& app) {
  if (!app.config.LogEnabled) {
    MakePathsAbsolute(app);
    ReadSettings(*app.platform.profiles, app.config.IniPath, app.config, app.pageHeaders);
  }
  LogRefusedStart(app, app.config.LogEnabled ? app.config.Log.view() : TextView());
  return kExitAlreadyRunning;
}

// "/DownGrade=": a failure is the run's failure when the exit code is to
// tell it.
uint32_t Downgrade(AppContext& app, AccountSteps& accounts, TextView account) {
  const WinError error = accounts.DowngradeAccount(app, account);
  return error != kErrorSuccess && app.config.ExitCodeFromResult ? run::kExitFailed : 0;
}

}  // namespace

Text BuildHelpText(app::Translator& translator, TextView versionLine) {
  Text text(versionLine);
  text += u"\n\n";
  for (uint32_t number = kHelpFirst; number <= kHelpLast; ++number) {
    text += translator.Translate(number);
  }
  return CutToCapacity(text, kHelpTextCapacity - 1);
}

void PreparePageHeaders(app::Translator& translator, app::PageHeaders& headers) {
  for (size_t page = 0; page < headers.size(); ++page) {
    headers[page].title = translator.Translate(kPageTextNumbers[page].title);
    headers[page].headerTitle = translator.Translate(kPageTextNumbers[page].headerTitle);
    headers[page].headerSubTitle = translator.Translate(kPageTextNumbers[page].headerSubTitle);
  }
}

int RunStartup(AppContext& app, TextView commandLine, const StartupParts& parts) {
  // Before any path is looked at: no "no disk" box may stall an unattended run.
  app.platform.system->SetQuietErrorMode();
  std::future<std::optional<bool>> secondaryLogon = AskSecondaryLogon(app.platform);
  const std::vector<TextView> arguments = SplitCommandLine(commandLine);
  ChooseLanguage(app, arguments);
  PreparePageHeaders(app.translator, app.pageHeaders);
  SetRuntimeLanguage(*app.platform.system);
  app::SetStartupVariables(app.platform);

  const CommandLineOutcome options = ApplyOptions(arguments, app.config, *app.platform.environment);
  app.continueArguments = ContinueArguments(arguments);
  app.topmost = options.topmost;
  if (parts.failure != nullptr) parts.failure->Follow(app.config);
  // Held until the program ends; taken before any log is opened, so a
  // refused start never empties the running one's log.
  InstanceClaim instance;
  if (NeedsInstanceLock(options)) {
    instance = TakeInstanceLock(app);
    if (instance.refused) {
      const uint32_t refused = RefuseStart(app);
      app.config.WipePasswords();
      return static_cast<int>(refused);
    }
  }
  switch (options.action) {
    case CommandLineOutcome::Action::kShowHelp:
      ShowHelp(app, parts.wizard);
      return 0;
    case CommandLineOutcome::Action::kShowVersion:
      ShowVersion(app, parts.wizard);
      return 0;
    case CommandLineOutcome::Action::kCheck:
      return CheckConfigurationFile(app, parts.wizard, options.checkFile);
    case CommandLineOutcome::Action::kDowngrade:
      return static_cast<int>(Downgrade(app, parts.accounts, options.downgradeAccount));
    case CommandLineOutcome::Action::kContinue:
      break;
  }
  const uint32_t exitCode = RunAfterOptions(app, options, parts, secondaryLogon);
  app.config.WipePasswords();
  return static_cast<int>(exitCode);
}

}  // namespace tarn::startup
