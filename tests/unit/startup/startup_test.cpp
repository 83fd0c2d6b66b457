#include "startup/startup.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

#include "platform/registry.h"
#include "run/system_identity_settings.h"
#include "startup/single_instance.h"
#include "support/json_reader.h"
#include "support/startup_machine.h"
#include "tarn_version.h"

namespace tarn::startup {
namespace {

using testing::kProgramLanguages;

// What "/version" shows and the help begins with.
const Text kVersionLine = u"TARN " + FromUtf8(TARN_VERSION_TEXT);

// Records which later steps ran, in order, and ends the wizard as told.
class RecordingExtensions : public AccountSteps, public NoWizardHost {
 public:
  void ScramblePasswords(AppContext&, TextView usersPath) override {
    Note(u"scramble:", usersPath);
  }
  void UnscramblePasswords(AppContext&, TextView usersPath) override {
    Note(u"unscramble:", usersPath);
  }
  WinError DowngradeAccount(AppContext&, TextView name) override {
    Note(u"downgrade:", name);
    return downgradeError;
  }
  void PrepareUserInterface(AppContext&) override { Note(u"ui"); }
  void PrepareInstallationVariables(AppContext&, TextView iniPath) override {
    Note(u"variables:", iniPath);
  }
  void ReadAccounts(AppContext&, TextView usersPath) override { Note(u"accounts:", usersPath); }
  void MergeAdministratorAccount(AppContext&) override { Note(u"admin"); }
  void MergeSettingsAccount(AppContext&) override { Note(u"settings-account"); }
  WizardOutcome RunWizard(AppContext& app) override {
    Note(u"wizard");
    if (duringWizard) duringWizard(app);
    logOpenDuringWizard = app.log.IsOpen();
    headersInWizard = app.pageHeaders;
    if (run) {
      app.runTotals = *run;
      if (app.runObserver != nullptr) app.runObserver->RunFinished(app.runTotals);
    }
    return wizardResult;
  }
  void ReleaseAccounts(AppContext&) override { Note(u"release"); }
  void ReleaseUserInterface(AppContext&) override { Note(u"release-ui"); }
  void SaveWizardSize(AppContext& app) override {
    Note(u"save-size");
    logOpenAtSaveSize = app.log.IsOpen();
  }

  std::vector<Text> calls;
  WizardOutcome wizardResult = WizardOutcome::kCancelled;
  WinError downgradeError = kErrorSuccess;
  // Runs in the wizard (where the installation runs); may throw.
  std::function<void(AppContext&)> duringWizard;
  // How the installation run the wizard makes ends; none when there is none.
  std::optional<app::RunTotals> run;
  bool logOpenDuringWizard = false;
  bool logOpenAtSaveSize = true;
  app::PageHeaders headersInWizard;

 private:
  void Note(TextView what, TextView detail = u"") { calls.push_back(Text(what) + Text(detail)); }
};

class StartupTest : public ::testing::Test, protected testing::StartupMachine {
 protected:
  StartupTest() {
    machine_.system().SetLocalTime({2026, 12, 2, 1, 9, 5, 7, 0});
    (void)machine_.files().MakeDirectories(u"C:\\logs");
  }
  int Run(TextView line) { return RunStartup(app_, line, {extensions_, extensions_}); }
  std::string Calls() const {
    std::string out;
    for (const Text& call : extensions_.calls) out += ToUtf8(call) + ";";
    return out;
  }
  void HelpTexts() {
    Languages(
        kProgramLanguages, u"en",
        {{203, u"TARN help"}, {300, u"Usage:\\n"}, {301, u"/?  this help\\n"}, {339, u"end."}});
  }

  AppContext app_{services_};
  RecordingExtensions extensions_;
};

TEST_F(StartupTest, HelpShowsTheTextsAndEndsWithoutLogOrSettings) {
  HelpTexts();
  Settings("Owner=FROMFILE\r\n");
  EXPECT_EQ(Run(u"/log=C:\\logs\\t.log /computer=A /? /computer=B"), 0);
  ASSERT_EQ(machine_.desktop().shown().size(), 1u);
  const auto& box = machine_.desktop().shown()[0];
  EXPECT_EQ(box.text, kVersionLine + u"\n\nUsage:\n/?  this help\nend.");
  EXPECT_EQ(box.caption, u"TARN help");
  EXPECT_EQ(box.flags, 0x42040u);
  EXPECT_EQ(app_.config.Computer.str(), u"A");
  EXPECT_FALSE(machine_.files().Exists(u"C:\\logs\\t.log")) << "no log in help mode";
  EXPECT_TRUE(app_.config.Owner.empty()) << "no configuration file in help mode";
  EXPECT_EQ(Calls(), "");
}

TEST_F(StartupTest, CheckShowsTheFindingsOfTheNamedFileAndExitsWithOneOnAnError) {
  Settings("Owner=FROMFILE\r\n");
  const std::string ini = "[Tools]\r\ncommand.0=a.exe\r\ncommand.2=c.exe\r\n";
  (void)machine_.files().MakeDirectories(u"C:\\cfg");
  (void)machine_.files().WriteAll(u"C:\\cfg\\check.ini",
                                  std::vector<uint8_t>(ini.begin(), ini.end()));
  EXPECT_EQ(Run(u"/log=C:\\logs\\c.log /check=C:\\cfg\\check.ini"), 1);
  ASSERT_EQ(machine_.desktop().shown().size(), 1u);
  EXPECT_EQ(machine_.desktop().shown()[0].text,
            u"C:\\cfg\\check.ini:3:1: error: item 2 is never read: command.1 is missing and the "
            u"numbers after a gap are not read (HasGaps=1 reads them)\n");
  EXPECT_FALSE(machine_.files().Exists(u"C:\\logs\\c.log")) << "a check writes no log";
  EXPECT_TRUE(app_.config.Owner.empty()) << "nor reads the settings of install.ini";
  EXPECT_EQ(Calls(), "");
}

TEST_F(StartupTest, VersionShowsTheProjectsVersionAndEndsWithoutLogOrSettings) {
  Languages(kProgramLanguages, u"en", {{IDD_ABOUT, u"About TARN"}});
  Settings("Owner=FROMFILE\r\n");
  EXPECT_EQ(Run(u"/log=C:\\logs\\v.log /computer=A /VERSION /computer=B"), 0);
  ASSERT_EQ(machine_.desktop().shown().size(), 1u);
  const auto& box = machine_.desktop().shown()[0];
  EXPECT_EQ(box.text, kVersionLine);
  EXPECT_EQ(box.caption, u"About TARN");
  EXPECT_EQ(app_.config.Computer.str(), u"A");
  EXPECT_FALSE(machine_.files().Exists(u"C:\\logs\\v.log"));
  EXPECT_TRUE(app_.config.Owner.empty());
  EXPECT_EQ(Calls(), "");
}

TEST_F(StartupTest, ErrorBoxesForMissingDisksAreOffFromTheStart) {
  // Even the shortest way through start-up sets it.
  (void)Run(u"/?");
  EXPECT_TRUE(machine_.system().quietErrorMode());
}

TEST_F(StartupTest, HelpTextIsCutToItsBuffer) {
  Languages(kProgramLanguages, u"en", {{300, Text(5000, u'a')}, {301, Text(5000, u'b')}});
  (void)Run(u"/?");
  ASSERT_EQ(machine_.desktop().shown().size(), 1u);
  EXPECT_EQ(machine_.desktop().shown()[0].text.size(), 9215u);
}

TEST_F(StartupTest, GermanHelpWithLanguageOption) {
  Languages(kProgramLanguages, u"en", {{203, u"Help"}, {300, u"english"}});
  Languages(kProgramLanguages, u"de", {{203, u"Hilfe"}, {300, u"deutsch"}});
  (void)Run(u"/language=de /?");
  ASSERT_EQ(machine_.desktop().shown().size(), 1u);
  EXPECT_EQ(machine_.desktop().shown()[0].caption, u"Hilfe");
  EXPECT_EQ(machine_.desktop().shown()[0].text, kVersionLine + u"\n\ndeutsch");
  EXPECT_EQ(app_.config.Language, u"de");
}

TEST_F(StartupTest, LanguageWithoutSectionFallsBackToUsEnglish) {
  Languages(kProgramLanguages, u"en", {{203, u"Help"}});
  machine_.system().SetThreadLocale(1031);
  (void)Run(u"/language=fr /?");
  EXPECT_EQ(machine_.system().ThreadLocale(), 1033u);
  EXPECT_EQ(machine_.desktop().shown().at(0).caption, u"Help");
}

TEST_F(StartupTest, DowngradeEndsAtOnce) {
  Settings("Owner=FROMFILE\r\n", u"C:\\tarn\\other.ini");
  EXPECT_EQ(Run(u"/DownGrade=\"Jo Doe\" /ini=other.ini /log=C:\\logs\\d.log"), 0);
  EXPECT_EQ(Calls(), "downgrade:Jo Doe;");
  EXPECT_TRUE(app_.config.Owner.empty()) << "no configuration file when downgrading";
  EXPECT_FALSE(machine_.files().Exists(u"C:\\logs\\d.log"));
}

TEST_F(StartupTest, AFailedDowngradeFailsWhenTheExitCodeTellsTheOutcome) {
  extensions_.downgradeError = kErrorAccessDenied;
  EXPECT_EQ(Run(u"/exitcode=result /DownGrade=jo"), 1603);
  AppContext other(services_);
  EXPECT_EQ(RunStartup(other, u"/DownGrade=jo", {extensions_, extensions_}), 0);
}

TEST_F(StartupTest, ASecondInstanceIsRefusedWithoutTouchingTheRunningOnesLog) {
  Languages(kProgramLanguages, u"en", {{IDS_ALREADY_RUNNING, u"Another run is under way."}});
  Settings("Log=C:\\logs\\run.log\r\n");
  ASSERT_TRUE(
      machine_.files().PutTextFile(u"C:\\logs\\run.log", std::string("F\0i\0r\0s\0t\0", 10)));
  // The first instance, in its wizard, is another program on this machine.
  extensions_.duringWizard = [this](AppContext&) {
    RecordingExtensions second;
    for (const char16_t* line : {u"", u"/exitcode=0 /resume", u"/DownGrade=jo"}) {
      AppContext app(services_);
      EXPECT_EQ(RunStartup(app, line, {second, second}), 1618) << ToUtf8(line);
    }
    AppContext planner(services_);
    EXPECT_EQ(RunStartup(planner, u"/plan=C:\\logs\\plan.txt", {second, second}), 0)
        << "a plan changes nothing: it is not refused";
    AppContext asker(services_);
    EXPECT_EQ(RunStartup(asker, u"/version", {second, second}), 0) << "nor is the version";
    EXPECT_EQ(second.calls, std::vector<Text>()) << "nothing of a run, nor a downgrade";
    EXPECT_EQ(ReadUtf16(u"C:\\logs\\run.log"), u"First");
  };
  EXPECT_EQ(Run(u"/log=C:\\logs\\own.log"), 0);
  EXPECT_NE(ReadUtf16(u"C:\\logs\\run.log.refused")
                .find(u"Error(1618): 12/1/2026, 9:05:07 AM - Another run is under way."),
            Text::npos);
  AppContext later(services_);
  extensions_.duringWizard = nullptr;
  EXPECT_EQ(RunStartup(later, u"", {extensions_, extensions_}), 0) << "the lock ended with the run";
}

TEST_F(StartupTest, ARunRestoresThePolicyAnInterruptedRunLeftRelaxed) {
  using run::kLimitBlankPasswordUse;
  using run::kLsaKey;
  auto policy = [this] {
    const auto value =
        machine_.registry().Get(platform::kLocalMachine, kLsaKey, kLimitBlankPasswordUse);
    return value ? value->AsDword() : std::nullopt;
  };
  for (const std::optional<uint32_t> before :
       {std::optional<uint32_t>(1), std::optional<uint32_t>()}) {
    SCOPED_TRACE(before ? "value 1" : "no value");
    if (before) {
      (void)machine_.registry().Put(platform::kLocalMachine, kLsaKey, kLimitBlankPasswordUse,
                                    platform::RegValue::FromDword(*before));
    } else {
      const platform::ScopedKey lsa = platform::ScopedKey::Open(
          machine_.registry(), platform::kLocalMachine, kLsaKey, platform::kKeyAllAccess);
      (void)machine_.registry().DeleteValue(lsa.get(), kLimitBlankPasswordUse);
    }
    {
      // A run relaxes the policy for a blank-password account's commands and
      // dies before it can restore it.
      AppContext interrupted(services_);
      ASSERT_TRUE(run::RelaxBlankPasswordPolicy(interrupted).has_value());
      ASSERT_EQ(policy(), std::optional<uint32_t>(0));
    }
    std::optional<uint32_t> seenByTheRun = 99;
    extensions_.duringWizard = [&](AppContext& app) {
      seenByTheRun = policy();
      // The run relaxes again: it must keep the machine's own value.
      auto saved = run::RelaxBlankPasswordPolicy(app);
      ASSERT_TRUE(saved.has_value());
      EXPECT_EQ(saved->value, before);
      EXPECT_EQ(run::RestoreBlankPasswordPolicy(app, *saved), kErrorSuccess);
    };
    AppContext next(services_);
    EXPECT_EQ(
        RunStartup(next, u"/log=C:\\logs\\next.log /exitcode=result", {extensions_, extensions_}),
        1602);
    EXPECT_EQ(seenByTheRun, before) << "restored before the run";
    EXPECT_EQ(policy(), before);
    EXPECT_FALSE(
        machine_.registry().Get(platform::kLocalMachine, run::kProgramKey, run::kPolicyRecord));
    EXPECT_NE(ReadUtf16(u"C:\\logs\\next.log")
                  .find(u"An earlier run ended with 'LimitBlankPasswordUse' relaxed"),
              Text::npos);
  }
}

TEST_F(StartupTest, AnExceptionThatEscapesIsAFailureWhenTheExitCodeTellsTheOutcome) {
  struct Row {
    const char16_t* line;
    const char* settings;
    int code;
  } rows[] = {
      {u"/exitcode=result", "", 1603},
      {u"", "ExitCode=result\r\n", 1603},
      {u"/exitcode=other", "", 0},
  };
  extensions_.duringWizard = [](AppContext&) { throw std::runtime_error("broke"); };
  for (const Row& row : rows) {
    SCOPED_TRACE(ToUtf8(row.line));
    Settings(row.settings);
    // As the program's entry point does it.
    FailureExitCode failure;
    int code = -1;
    try {
      failure.ReadCommandLine(row.line);
      AppContext app(services_);
      code = RunStartup(app, row.line, {extensions_, extensions_, &failure});
    } catch (...) {
      code = failure.code();
    }
    EXPECT_EQ(code, row.code);
  }
  FailureExitCode early;
  early.ReadCommandLine(u"/log=x /EXITCODE=\"result\"");
  EXPECT_EQ(early.code(), 1603) << "an exception before the options are applied";
}

TEST_F(StartupTest, ScrambleModesEndAfterScramblingTheUsersFile) {
  Settings("Owner=FROMFILE\r\n");
  EXPECT_EQ(Run(u"/DecryptIni /EncryptIni /users=cfg\\users.ini"), 0);
  EXPECT_EQ(Calls(), "scramble:C:\\tarn\\cfg\\users.ini;");
  EXPECT_TRUE(app_.config.Owner.empty()) << "no configuration file when scrambling";
  extensions_.calls.clear();
  AppContext other(services_);
  EXPECT_EQ(RunStartup(other, u"/DecryptIni", {extensions_, extensions_}), 0);
  EXPECT_EQ(Calls(), "unscramble:C:\\tarn\\install.ini;");
  EXPECT_TRUE(machine_.desktop().shown().empty());
}

TEST_F(StartupTest, FullRunCallsTheLaterStepsInOrder) {
  Settings("Admin=root\r\n");
  EXPECT_EQ(Run(u""), 0);
  EXPECT_EQ(Calls(),
            "ui;variables:C:\\tarn\\install.ini;accounts:C:\\tarn\\install.ini;admin;"
            "settings-account;wizard;release;release-ui;save-size;");
  EXPECT_FALSE(extensions_.logOpenAtSaveSize);
  EXPECT_TRUE(machine_.system().shutdownRequests().empty()) << "a cancelled wizard never restarts";
}

TEST_F(StartupTest, TheExitCodeAndTheResultFileTellHowTheRunEnded) {
  struct Row {
    const char16_t* options;
    bool wizardFinished;
    std::optional<app::RunTotals> run;
    int code;
    bool restartStarted;
  };
  app::RunTotals done;
  done.started = done.finished = true;
  app::RunTotals needsRestart = done;
  needsRestart.restartNeeded = true;
  app::RunTotals failed = done;
  failed.failed = 1;
  const Row rows[] = {
      {u"/exitcode=result", false, std::nullopt, 1602, false},
      {u"/exitcode=result /skiprestart", true, needsRestart, 3010, false},
      {u"/exitcode=result", true, done, 1641, true},
      {u"/exitcode=result", true, failed, 1603, true},
      {u"", true, failed, 0, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(ToUtf8(row.options));
    AppContext app(services_);
    extensions_.wizardResult =
        row.wizardFinished ? WizardOutcome::kFinished : WizardOutcome::kCancelled;
    extensions_.run = row.run;
    const Text line = Text(row.options) + u" /result=C:\\logs\\result.json";
    EXPECT_EQ(RunStartup(app, line, {extensions_, extensions_}), row.code);
    const auto bytes = machine_.files().ReadAll(u"C:\\logs\\result.json");
    ASSERT_TRUE(bytes.ok());
    const auto json = tarn::testing::JsonReader::Parse(std::string(bytes->begin(), bytes->end()));
    ASSERT_TRUE(json);
    EXPECT_EQ((*json)["exitCode"].number, row.code);
    EXPECT_EQ((*json)["restartStarted"].boolean, row.restartStarted);
    EXPECT_EQ((*json)["finished"].boolean, row.run.has_value());
  }
}

TEST_F(StartupTest, AdministratorStepOnlyWithAdminOrPassword) {
  (void)Run(u"/skiprestart");
  EXPECT_EQ(Calls().find("admin;"), std::string::npos) << Calls();
  extensions_.calls.clear();
  AppContext other(services_);
  (void)RunStartup(other, u"/adminpwd=", {extensions_, extensions_});
  EXPECT_NE(Calls().find("admin;"), std::string::npos) << Calls();
}

TEST_F(StartupTest, StartPageFollowsTheSettings) {
  struct Row {
    const char16_t* line;
    const char* skipSettingsLine;
    app::WizardPage page;
  } rows[] = {
      {u"", "SkipSettings=0", app::kSettingsPage},
      {u"", "SkipSettings=1", app::kSoftwarePage},
      {u"/skipsoftware", "SkipSettings=1", app::kStatusPage},
      {u"/skipsoftware", "SkipSettings=0", app::kSettingsPage},
      {u"/ini=\"C:\\My Setup\\x.ini\" /skipsettings", "SkipSettings=0", app::kSoftwarePage}};
  for (const Row& row : rows) {
    Settings(row.skipSettingsLine);
    AppContext app(services_);
    (void)RunStartup(app, row.line, {extensions_, extensions_});
    EXPECT_EQ(app.startPage, row.page) << ToUtf8(row.line) << " " << row.skipSettingsLine;
  }
}

TEST_F(StartupTest, SecondaryLogonWarningIsTheFirstLogLine) {
  machine_.services().SetServiceState(u"seclogon", sim::ServiceState::kStopped);
  EXPECT_EQ(Run(u"/log=C:\\logs\\run.log /usecurrent"), 0);
  EXPECT_EQ(ReadUtf16(u"C:\\logs\\run.log"),
            u"Warning(0): 12/1/2026, 9:05:07 AM - \"Secondary Logon\" service isn't running\r\n");
  EXPECT_EQ(app_.config.UseCurrent, 1);
  EXPECT_EQ(app_.config.AutoLogon, app::AutoLogonMode::kOn);
  EXPECT_FALSE(app_.config.SecondaryLogonRunning);
  EXPECT_TRUE(extensions_.logOpenDuringWizard);
}

TEST_F(StartupTest, MissingServiceOverridesTheFileToo) {
  machine_.services().RemoveService(u"seclogon");
  Settings("AutoLogon=0\r\nLog=C:\\logs\\key.log\r\n");
  (void)Run(u"");
  EXPECT_EQ(app_.config.AutoLogon, app::AutoLogonMode::kOn);
  EXPECT_EQ(app_.config.UseCurrent, 1);
  EXPECT_NE(ReadUtf16(u"C:\\logs\\key.log").find(u"Secondary Logon"), Text::npos)
      << "the log named by the settings key opens right after the settings are read";
}

TEST_F(StartupTest, PlanRequestKeepsTheLogOfTheLastRun) {
  const std::string lastRun("W\0a\0r\0n\0", 8);
  ASSERT_TRUE(machine_.files().PutTextFile(u"C:\\logs\\key.log", lastRun));
  Settings("Log=C:\\logs\\key.log\r\n");
  EXPECT_EQ(Run(u"/plan=C:\\logs\\plan.txt"), 0);
  EXPECT_EQ(ReadUtf16(u"C:\\logs\\key.log"), u"Warn") << "a plan leaves the log as it was";
  EXPECT_FALSE(app_.log.IsOpen());
  EXPECT_EQ(Calls(), "") << "a plan ends before the wizard";
}

TEST_F(StartupTest, RunningServiceWritesNothing) {
  (void)Run(u"/log=C:\\logs\\quiet.log");
  EXPECT_TRUE(app_.config.SecondaryLogonRunning);
  EXPECT_TRUE(machine_.files().Exists(u"C:\\logs\\quiet.log"));
  EXPECT_EQ(ReadUtf16(u"C:\\logs\\quiet.log"), u"");
  EXPECT_EQ(app_.config.AutoLogon, app::AutoLogonMode::kUnchanged);
}

TEST_F(StartupTest, OnlyTheShutdownPrivilegeIsEnabledForTheWholeRun) {
  (void)Run(u"");
  ASSERT_EQ(machine_.services().privilegeRequests().size(), 1u);
  const std::vector<Text>& names = machine_.services().privilegeRequests()[0];
  EXPECT_EQ(names, std::vector<Text>{u"SeShutdownPrivilege"});
  for (const TextView name : {u"SeBackupPrivilege", u"SeRestorePrivilege", u"SeTcbPrivilege"}) {
    EXPECT_FALSE(machine_.services().IsPrivilegeEnabled(name)) << ToUtf8(name);
  }
}

TEST_F(StartupTest, FinishedWizardRequestsTheRestart) {
  Languages(kProgramLanguages, u"en", {{137, u"Restarting"}});
  extensions_.wizardResult = WizardOutcome::kFinished;
  EXPECT_EQ(Run(u"/restartwait=20"), 0);
  ASSERT_EQ(machine_.system().shutdownRequests().size(), 1u);
  const auto& request = machine_.system().shutdownRequests()[0];
  EXPECT_EQ(request.message, u"Restarting");
  EXPECT_EQ(request.timeoutSeconds, 20u);
  EXPECT_FALSE(request.forceAppsClosed);
  EXPECT_TRUE(request.reboot);
  EXPECT_EQ(request.reason, 0x30002u);
}

TEST_F(StartupTest, SkipRestartPreventsTheRestart) {
  extensions_.wizardResult = WizardOutcome::kFinished;
  (void)Run(u"/skiprestart");
  EXPECT_TRUE(machine_.system().shutdownRequests().empty());
}

TEST_F(StartupTest, StartupVariables) {
  platform::Registry& registry = *services_.registry;
  const platform::ScopedKey key = platform::ScopedKey::Create(
      registry, platform::kLocalMachine, u"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
      platform::kKeyAllAccess);
  ASSERT_TRUE(key.valid());
  ASSERT_EQ(registry.SetValue(key.get(), u"SourcePath", platform::RegValue::FromText(u"D:\\I386")),
            kErrorSuccess);
  (void)Run(u"/ini=..\\cfg\\setup.ini");
  auto& environment = machine_.environment();
  EXPECT_EQ(environment.Get(u"TARN"), std::optional<Text>(u"C:\\tarn"));
  EXPECT_EQ(environment.Get(u"CURDIR"), std::optional<Text>(u"C:\\"));
  EXPECT_EQ(environment.Get(u"SRCPATH"), std::optional<Text>(u"D:\\I386"));
  EXPECT_EQ(environment.Get(u"SRCDRIVE"), std::optional<Text>(u"D:"));
  EXPECT_EQ(environment.Get(u"INIDIR"), std::optional<Text>(u"C:\\cfg"));
  EXPECT_EQ(app_.config.IniPath.str(), u"C:\\cfg\\setup.ini");
  EXPECT_EQ(app_.config.UsersPath.str(), u"C:\\cfg\\setup.ini");
}

TEST_F(StartupTest, MissingSourcePathFallsBackToTheCurrentDirectory) {
  (void)machine_.files().MakeDirectories(u"C:\\work\\here");
  ASSERT_EQ(machine_.files().SetCurrentDirectory(u"C:\\work\\here"), kErrorSuccess);
  (void)Run(u"/ini=E:\\abs.ini /users=rel.ini");
  auto& environment = machine_.environment();
  EXPECT_EQ(environment.Get(u"SRCPATH"), std::optional<Text>(u"C:\\work\\here"));
  EXPECT_EQ(environment.Get(u"SRCDRIVE"), std::optional<Text>(u"C:"));
  EXPECT_EQ(environment.Get(u"INIDIR"), std::optional<Text>(u"E:\\"));
  EXPECT_EQ(app_.config.UsersPath.str(), u"C:\\tarn\\rel.ini") << "relative to the program";
}

TEST_F(StartupTest, PageHeadersTranslatedThenOverridden) {
  Languages(kProgramLanguages, u"en",
            {{129, u"Settings"}, {150, u"Title"}, {151, u"Sub"}, {155, u"Status sub"}});
  Settings("PageHeaderTitle.0=Own title\r\n");
  (void)Run(u"");
  const app::PageHeaders& shown = extensions_.headersInWizard;
  EXPECT_EQ(shown[0].title, u"Settings");
  EXPECT_EQ(shown[0].headerTitle, u"Own title");
  EXPECT_EQ(shown[0].headerSubTitle, u"Sub");
  EXPECT_EQ(shown[3].headerSubTitle, u"Status sub");
  EXPECT_TRUE(app_.pageHeaders[0].title.empty()) << "released at the end";
}

}  // namespace
}  // namespace tarn::startup
