#include "startup/startup.h"

#include <array>

#include "base/paths.h"
#include "catalogue/plan_file.h"
#include "platform/desktop.h"
#include "platform/environment.h"
#include "platform/services.h"
#include "platform/system_info.h"
#include "startup/command_line.h"
#include "startup/settings.h"
#include "startup/startup_variables.h"

namespace tarn::startup {
namespace {

constexpr uint32_t kRestartMessage = 137;
constexpr uint32_t kHelpCaption = 203;
constexpr uint32_t kHelpFirst = 300;
constexpr uint32_t kHelpLast = 336;
constexpr uint32_t kEnglishNameCapacity = 64;

struct PageTextNumbers {
  uint32_t title, headerTitle, headerSubTitle;
};
constexpr std::array<PageTextNumbers, kWizardPageCount> kPageTextNumbers = {{
    {129, 150, 151},
    {113, 157, 161},
    {130, 152, 153},
    {131, 154, 155},
}};

void ChooseLanguage(AppContext& app, const std::vector<TextView>& arguments) {
  platform::SystemInfo& system = *app.platform.system;
  if (const std::optional<TextView> code = FindLanguageOption(arguments)) {
    app.config.Language = Text(*code);
    app.translator.SelectLanguage(*code);
  }
  if (!app.translator.LanguageAvailable()) system.SetThreadLocale(platform::kLocaleEnglishUs);
}

void SetRuntimeLanguage(platform::SystemInfo& system) {
  const Text english = system.LocaleInfo(system.ThreadLocale(), platform::kLocaleSEnglishLanguage,
                                         kEnglishNameCapacity);
  system.SetRuntimeLocale(english);
}

void ShowHelp(AppContext& app) {
  const Text text = BuildHelpText(app.translator);
  const Text caption = app.translator.Text(kHelpCaption);
  app.platform.desktop->MessageBox(text, caption, kHelpBoxFlags);
}

void MakePathsAbsolute(AppContext& app) {
  const Text folder = ProgramFolder(*app.platform.system);
  app.config.IniPath = MakeAbsoluteToProgram(app.config.IniPath, folder);
  (void)app.platform.environment->Set(u"INIDIR", PathRemoveFileSpec(app.config.IniPath));
  app.config.UsersPath = MakeAbsoluteToProgram(app.config.UsersPath, folder);
}

void EnablePrivileges(platform::Services& services) {
  (void)services.EnablePrivileges({u"SeShutdownPrivilege", u"SeInteractiveLogonRight",
                                   u"SeNetworkLogonRight", u"SeTcbPrivilege", u"SeRestorePrivilege",
                                   u"SeBackupPrivilege"});
}

// Without the service, commands cannot run under other credentials: the
// program then works as the current user and leaves automatic logon on.
void CheckSecondaryLogon(AppContext& app) {
  const bool running = app.platform.services->IsServiceRunning(u"seclogon").value_or(false);
  app.config.SecondaryLogonRunning = running;
  if (running) return;
  app.config.UseCurrent = 1;
  app.config.AutoLogon = kAutoLogonOn;
  app.log.Write(kSecondaryLogonWarning, kLogWarning, 0);
}

void PrepareAccounts(AppContext& app, StartupExtensions& extensions) {
  extensions.PrepareInstallationVariables(app, app.config.IniPath);
  extensions.ReadAccounts(app, app.config.UsersPath);
  if (!app.config.Admin.empty() || app.config.AdminPwdGiven) {
    extensions.MergeAdministratorAccount(app);
  }
  extensions.MergeSettingsAccount(app);
}

void CleanUp(AppContext& app, StartupExtensions& extensions) {
  extensions.ReleaseAccounts(app);
  app.pageHeaders = PageHeaders{};
  extensions.ReleaseUserInterface(app);
  app.log.Close();
  extensions.SaveWizardSize(app);
}

void RequestRestart(AppContext& app, int sheetResult) {
  if (sheetResult != kWizardFinished || app.config.SkipRestart != 0) return;
  const Text message = app.translator.Text(kRestartMessage);
  (void)app.platform.system->InitiateShutdown(
      message, static_cast<uint32_t>(app.config.RestartWait),
      /*forceAppsClosed=*/false, /*reboot=*/true, kRestartReason);
}

// Everything after the option pass; returns when the program is to end.
void RunAfterOptions(AppContext& app, const CommandLineOutcome& options,
                     StartupExtensions& extensions) {
  if (app.config.LogEnabled) app.log.Open(app.config.Log);
  MakePathsAbsolute(app);
  if (options.encryptIni) return extensions.ScramblePasswords(app, app.config.UsersPath);
  if (options.decryptIni) return extensions.UnscramblePasswords(app, app.config.UsersPath);

  const bool logOpened = app.config.LogEnabled;
  ReadSettings(*app.platform.profiles, app.config.IniPath, app.config, app.pageHeaders);
  // A plan only reads: opening the settings' log would empty the log of the
  // last real run.
  if (!options.planFile.empty()) {
    (void)catalogue::WritePlanFile(app.platform, app.config.IniPath, {app.config.HasGaps},
                                   options.planFile);
    return;
  }
  if (!logOpened && app.config.LogEnabled) app.log.Open(app.config.Log);
  app.startPage = ChooseStartPage(app.config);

  EnablePrivileges(*app.platform.services);
  CheckSecondaryLogon(app);
  extensions.PrepareUserInterface(app);
  PrepareAccounts(app, extensions);

  const int sheetResult = extensions.RunWizard(app);
  CleanUp(app, extensions);
  RequestRestart(app, sheetResult);
}

}  // namespace

Text BuildHelpText(Translator& translator) {
  Text text;
  for (uint32_t number = kHelpFirst; number <= kHelpLast; ++number) {
    text += translator.Text(number);
  }
  return CutToCapacity(text, kHelpTextCapacity - 1);
}

void PreparePageHeaders(Translator& translator, PageHeaders& headers) {
  for (size_t page = 0; page < headers.size(); ++page) {
    headers[page].title = translator.Text(kPageTextNumbers[page].title);
    headers[page].headerTitle = translator.Text(kPageTextNumbers[page].headerTitle);
    headers[page].headerSubTitle = translator.Text(kPageTextNumbers[page].headerSubTitle);
  }
}

int RunStartup(AppContext& app, TextView commandLine, StartupExtensions& extensions) {
  // Before any path is looked at: no "no disk" box may stall an unattended run.
  app.platform.system->SetQuietErrorMode();
  const std::vector<TextView> arguments = SplitCommandLine(commandLine);
  ChooseLanguage(app, arguments);
  PreparePageHeaders(app.translator, app.pageHeaders);
  SetRuntimeLanguage(*app.platform.system);
  SetStartupVariables(app.platform);

  const CommandLineOutcome options = ApplyOptions(arguments, app.config, *app.platform.environment);
  app.topmost = options.topmost;
  switch (options.action) {
    case CommandLineOutcome::Action::kShowHelp:
      ShowHelp(app);
      return 0;
    case CommandLineOutcome::Action::kDowngrade:
      extensions.DowngradeAccount(app, options.downgradeAccount);
      return 0;
    case CommandLineOutcome::Action::kContinue:
      break;
  }
  RunAfterOptions(app, options, extensions);
  app.config.WipePasswords();
  return 0;
}

}  // namespace tarn::startup
