#include "run/installation_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run/launch_entry.h"
#include "run/result_file.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::RowTexts;
using testing::RunTestMachine;

TEST(InstallationRunTest, WalkSkipsUncheckedSubtreesAndFailedStartsKeepSiblings) {
  RunTestMachine m;
  m.AddProgram(u"a.exe");
  m.AddProgram(u"b.exe");
  m.AddProgram(u"c.exe");
  m.AddProgram(u"e.exe");
  m.AddProgram(u"f.exe");
  m.Add(0, true, u"Tools");
  m.Add(1, true, u"A", u"a.exe");
  m.Add(1, false, u"Heading");  // unchecked: its checked child neither runs nor counts
  m.Add(2, true, u"B", u"b.exe");
  m.Add(1, true, u"C", u"c.exe");
  m.Add(0, true, u"More");
  m.Add(1, true, u"D", u"missing.exe");  // cannot start: its subtree is skipped
  m.Add(2, true, u"E", u"e.exe");
  m.Add(1, true, u"F", u"f.exe");  // the failed entry's sibling still runs

  const auto rows = RowTexts(m.Run());

  // Programs go through the machine's exefile template, "%1" %*.
  EXPECT_THAT(m.Started(), ElementsAre("\"a.exe\" ", "\"c.exe\" ", "\"f.exe\" "));
  // Tools, A, C, More, D, E, F are checked and visible to the walk: 7 steps.
  EXPECT_EQ(m.status.range(), 6u);
  // E never gets its step: the failure of D passed over it.
  EXPECT_THAT(m.status.positions(), ElementsAre(0u, 1u, 2u, 3u, 4u, 5u));
  ASSERT_EQ(rows.size(), 5u) << ::testing::PrintToString(rows);
  EXPECT_EQ(rows[0], "2:\"A\" completed successfully.");
  EXPECT_EQ(rows[1], "2:\"C\" completed successfully.");
  EXPECT_THAT(rows[2], HasSubstr("0:Error 2: \"D\" could not be started. "));
  EXPECT_EQ(rows[3], "2:\"F\" completed successfully.");
  EXPECT_EQ(rows[4], "2:Installation finished.");
  EXPECT_TRUE(m.status.finishOffered());
  EXPECT_TRUE(m.status.progressHidden());
  ASSERT_FALSE(m.status.texts().empty());
  EXPECT_EQ(m.status.texts().back(), u"Installation finished.");
}

TEST(InstallationRunTest, TheRunWritesInTheWizardsLanguage) {
  RunTestMachine m;
  m.SetText(160, u"\"%s\" erfolgreich beendet.", u"de");
  m.SetText(143, u"Installation beendet.", u"de");
  // The wizard shows German without "/language=", while a thread the run
  // starts begins with the user's default locale, English here.
  m.machine.system().SetThreadLocale(1031);
  m.app->translator.ChooseDisplayLanguage(std::nullopt);
  m.AddProgram(u"a.exe");
  m.Add(1, true, u"A", u"a.exe");
  EXPECT_THAT(RowTexts(m.Run()),
              ElementsAre("2:\"A\" erfolgreich beendet.", "2:Installation beendet."));
  EXPECT_EQ(m.machine.system().ThreadLocale(), 1031u);
}

TEST(InstallationRunTest, HeadingsMoveTheBarAndRunNothing) {
  RunTestMachine m;
  m.AddProgram(u"x.exe");
  m.Add(0, true, u"Section");
  m.Add(1, true, u"Heading");
  m.Add(2, true, u"X", u"x.exe");
  (void)m.Run();
  EXPECT_THAT(m.Started(), ElementsAre("\"x.exe\" "));
  EXPECT_THAT(m.status.positions(), ElementsAre(0u, 1u, 2u));
  EXPECT_EQ(m.status.range(), 2u);
  EXPECT_THAT(m.status.texts(), ElementsAre(u"X", u"Installation finished."));
}

TEST(InstallationRunTest, ExitCodesAreJudgedIntoTheirLines) {
  struct Row {
    uint32_t code;
    const char* line;
  } rows[] = {
      {0, "2:\"P\" completed successfully."},
      {3010, "2:\"P\" completed successfully."},
      {3011, "2:\"P\" completed successfully."},
      {1, "1:\"P\" ended with exit code 1."},
      {1603, "1:\"P\" ended with exit code 1603."},
      {0xC0000022, "1:\"P\" ended with exit code 3221225506. {Access Denied}"},
  };
  for (const Row& row : rows) {
    RunTestMachine m;
    m.AddProgram(u"p.exe", row.code);
    m.Add(0, true, u"P", u"p.exe");
    const auto lines = RowTexts(m.Run());
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], row.line) << "exit code " << row.code;
  }
}

TEST(InstallationRunTest, AbortEndsTheCommandWithWhatItStartedAndTheRunGoesOn) {
  RunTestMachine m;
  sim::SimProgram setup;
  setup.child = u"helper.exe /install";
  m.machine.processes().AddProgram(u"setup.exe", setup);
  sim::SimProgram helper;
  helper.durationMs = platform::kWaitForever;
  // The user presses Abort while the command's own child runs.
  helper.onStart = [&m](const sim::LaunchRecord&) { m.status.signals()->abort->Set(); };
  m.machine.processes().AddProgram(u"helper.exe", helper);
  m.AddProgram(u"next.exe");
  m.Add(0, true, u"Long", u"setup.exe");
  m.Add(0, true, u"Next", u"next.exe");

  const auto rows = RowTexts(m.Run());

  const auto launches = m.machine.processes().launches();
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(launches[1].parentProcessId, launches[0].processId);
  EXPECT_EQ(launches[0].exitCode, std::optional<uint32_t>(kAbortedExitCode));
  EXPECT_EQ(launches[1].exitCode, std::optional<uint32_t>(kAbortedExitCode))
      << "the command's child was left running";
  EXPECT_EQ(launches[2].exitCode, std::optional<uint32_t>(0));
  EXPECT_EQ(rows[0], "1:\"Long\" ended with exit code 1067.");
  EXPECT_EQ(rows[1], "2:\"Next\" completed successfully.");
}

TEST(InstallationRunTest, OutsideAJobTheCommandStartsAndAbortEndsItAlone) {
  RunTestMachine m;
  // As when the program itself runs in a job that allows no nesting.
  m.machine.processes().SetJobRefusal(kErrorAccessDenied);
  sim::SimProgram forever;
  forever.durationMs = platform::kWaitForever;
  forever.onStart = [&m](const sim::LaunchRecord&) { m.status.signals()->abort->Set(); };
  m.machine.processes().AddProgram(u"p.exe", forever);
  m.Add(0, true, u"P", u"p.exe");

  const auto rows = RowTexts(m.Run());

  EXPECT_THAT(rows, ElementsAre("2:Abort can end only \"P\" itself, not the programs it starts. "
                                "Access is denied.",
                                "1:\"P\" ended with exit code 1067.", "2:Installation finished."));
}

TEST(InstallationRunTest, APressAfterACommandEndedDoesNotEndTheNextOne) {
  RunTestMachine m;
  m.AddProgram(u"first.exe");
  sim::SimProgram next;
  next.durationMs = 200;
  m.machine.processes().AddProgram(u"next.exe", next);
  m.Add(0, true, u"First", u"first.exe");
  m.Add(0, true, u"Next", u"next.exe");
  // The press arrives once First has ended, before Next starts.
  m.status.onCurrentText = [](RecordingStatus& status, TextView text) {
    if (text == u"Next") status.signals()->abort->Set();
  };
  const auto rows = RowTexts(m.Run());
  ASSERT_GE(rows.size(), 2u);
  EXPECT_EQ(rows[1], "2:\"Next\" completed successfully.");
}

TEST(InstallationRunTest, ACommandAbortCannotEndIsAnErrorAndTheNextWaitsForItsEnd) {
  RunTestMachine m;
  m.machine.processes().SetTerminateRefusal(kErrorAccessDenied);
  sim::SimProgram slow;
  slow.durationMs = 300;
  slow.onStart = [&m](const sim::LaunchRecord&) { m.status.signals()->abort->Set(); };
  m.machine.processes().AddProgram(u"slow.exe", slow);
  m.AddProgram(u"next.exe");
  m.Add(0, true, u"Slow", u"slow.exe");
  m.Add(0, true, u"Next", u"next.exe");

  const auto rows = RowTexts(m.Run());

  ASSERT_GE(rows.size(), 3u) << ::testing::PrintToString(rows);
  EXPECT_EQ(rows[0], "0:\"Slow\" could not be ended. Access is denied.");
  EXPECT_EQ(rows[1], "2:\"Slow\" completed successfully.");
  EXPECT_EQ(rows[2], "2:\"Next\" completed successfully.");
  const auto launches = m.machine.processes().launches();
  ASSERT_EQ(launches.size(), 2u);
  ASSERT_TRUE(launches[0].ended.has_value());
  EXPECT_GE(launches[1].started, *launches[0].ended);
}

TEST(InstallationRunTest, AFailedWaitIsAnErrorAndNothingMoreStarts) {
  RunTestMachine m;
  m.machine.processes().SetWaitFailure(kErrorInvalidHandle);
  sim::SimProgram forever;
  forever.durationMs = platform::kWaitForever;
  m.machine.processes().AddProgram(u"p.exe", forever);
  m.AddProgram(u"q.exe");
  m.Add(0, true, u"P", u"p.exe");
  m.Add(0, true, u"Q", u"q.exe");

  const auto rows = RowTexts(m.Run());

  EXPECT_THAT(m.Started(), ElementsAre("\"p.exe\" "));
  EXPECT_THAT(rows, ElementsAre("0:Waiting for \"P\" failed. The handle is invalid.",
                                "2:Installation finished."));
}

TEST(InstallationRunTest, WorkingFoldersAreRelativeToTheProgramAndCanonical) {
  RunTestMachine m;
  m.AddProgram(u"w.exe");
  (void)m.machine.files().MakeDirectories(u"C:\\tarn\\tools");
  (void)m.machine.files().MakeDirectories(u"C:\\Setup");
  (void)m.machine.environment().Set(u"SUB", u"tools");
  m.Add(0, true, u"None", u"w.exe");
  m.Add(0, true, u"Relative", u"w.exe", u"%SUB%");
  m.Add(0, true, u"Absolute", u"w.exe", u"C:\\Temp\\..\\Setup");
  (void)m.Run();
  const auto launches = m.machine.processes().launches();
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(ToUtf8(launches[0].workingFolder), "C:\\tarn");
  EXPECT_EQ(ToUtf8(launches[1].workingFolder), "C:\\tarn\\tools");
  EXPECT_EQ(ToUtf8(launches[2].workingFolder), "C:\\Setup");
}

TEST(InstallationRunTest, CommandsRunUnderThePrimaryAccountWithTheRunEnvironment) {
  RunTestMachine m;
  m.AddProgram(u"p.exe");
  // The command's block starts from what the account's own logon gives it.
  platform::UserInfo ann;
  ann.name = u"ann";
  (void)m.machine.accounts().PutUser(ann, u"secret");
  m.AddPrimary(u"ann", u"secret");
  m.Add(0, true, u"P", u"p.exe");
  (void)m.Run();
  const auto launches = m.machine.processes().launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].accountName, std::optional<Text>(u"ann"));
  EXPECT_EQ(launches[0].accountDomain, u"TARN-PC");
  ASSERT_TRUE(launches[0].environment.has_value());
  EXPECT_NE(launches[0].environment->find(u"ThisUser=ann"), Text::npos);
  EXPECT_THAT(m.variables.calls, ElementsAre(u"enter:ann", u"leave"));
}

TEST(InstallationRunTest, WithoutPrimaryCommandsRunAsTheProgramsOwnUser) {
  RunTestMachine m;
  m.AddProgram(u"p.exe");
  m.app->config.SkipSettings = 1;
  m.Add(0, true, u"P", u"p.exe");
  (void)m.Run();
  const auto launches = m.machine.processes().launches();
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_FALSE(launches[0].accountName.has_value());
  EXPECT_THAT(m.variables.calls, ElementsAre(u"loggedOn"));
  EXPECT_EQ(m.worker.calls, 0);
}

TEST(InstallationRunTest, ARefusedLogonIsAStartFailure) {
  RunTestMachine m;
  m.AddProgram(u"p.exe");
  m.AddProgram(u"q.exe");
  m.AddPrimary(u"ann", u"wrong");
  m.machine.processes().SetLogonCheck(
      [](const platform::LogonCredentials&) { return platform::kErrorLogonFailure; });
  m.Add(0, true, u"P", u"p.exe");
  m.Add(1, true, u"Q", u"q.exe");
  const auto rows = RowTexts(m.Run());
  EXPECT_TRUE(m.Started().empty());
  ASSERT_FALSE(rows.empty());
  EXPECT_THAT(rows[0], HasSubstr("0:Error 1326: \"P\" could not be started."));
}

TEST(InstallationRunTest, PasswordsAreWipedAndTheUserFilledFromTheProgramsAccount) {
  RunTestMachine m;
  m.app->config.UserPwd = u"pw";
  m.app->config.UserPwdConfirm = u"pw";
  (void)m.Run();
  EXPECT_TRUE(m.app->config.UserPwd.empty());
  EXPECT_TRUE(m.app->config.UserPwdConfirm.empty());
  EXPECT_EQ(m.app->config.User.str(), u"Administrator");
  EXPECT_EQ(m.worker.calls, 1);
}

TEST(InstallationRunTest, SkipSoftwareAppliesSettingsButRunsNothing) {
  RunTestMachine m;
  m.AddProgram(u"p.exe");
  m.app->config.SkipSoftware = 1;
  m.app->config.AutoInstallEnabled = true;
  m.Add(0, true, u"P", u"p.exe");
  const auto rows = RowTexts(m.Run());
  EXPECT_TRUE(m.Started().empty());
  EXPECT_EQ(m.worker.calls, 1);
  EXPECT_TRUE(m.status.progressHidden());
  EXPECT_THAT(rows, ElementsAre("2:Installation finished."));
  EXPECT_EQ(m.status.autoFinishAfterMs(), std::optional<uint32_t>(kAutoFinishDelayMs));
}

TEST(InstallationRunTest, VerboseLogsTheCommandLineAndTheSettings) {
  RunTestMachine m;
  m.AddProgram(u"p.exe");
  m.app->config.Verbose = 1;
  m.app->config.Computer = u"PC7";
  m.app->config.Workgroup = u"HOME";
  m.Add(0, true, u"P", u"p.exe /q");
  const auto rows = RowTexts(m.Run());
  EXPECT_THAT(rows, ::testing::Contains("2:Setting Computer name to 'PC7'."));
  EXPECT_THAT(rows, ::testing::Contains("2:Setting Workgroup name to 'HOME'."));
  EXPECT_THAT(rows, ::testing::Contains("2:Command: \"p.exe\" /q "));
}

TEST(InstallationRunTest, VerboseCommandLineMasksTheAccountPassword) {
  RunTestMachine m;
  m.AddProgram(u"p.exe");
  m.app->config.Verbose = 1;
  platform::UserInfo ann;
  ann.name = u"ann";
  (void)m.machine.accounts().PutUser(ann, u"s3cret");
  m.AddPrimary(u"ann", u"s3cret").PasswordGiven = 1;
  m.Add(0, true, u"P", u"p.exe /pw=%USERPASSWORD% /again=%userpassword%x /as=s3cret");
  const auto rows = RowTexts(m.Run());
  EXPECT_THAT(rows, ::testing::Contains(
                        "2:Command: \"p.exe\" /pw=******** /again=********x /as=******** "));
  for (const std::string& row : rows) EXPECT_EQ(row.find("s3cret"), std::string::npos) << row;
  EXPECT_THAT(m.Started(), ElementsAre("\"p.exe\" /pw=s3cret /again=s3cretx /as=s3cret "));
  const auto launches = m.machine.processes().launches();
  ASSERT_EQ(launches.size(), 1u);
  ASSERT_TRUE(launches[0].environment.has_value());
  EXPECT_NE(launches[0].environment->find(u"USERPASSWORD=s3cret"), Text::npos);
  EXPECT_FALSE(m.machine.environment().Get(u"USERPASSWORD").has_value());
}

TEST(InstallationRunTest, ThePolicyIsRelaxedOnlyForCommandsOfABlankPasswordAccount) {
  struct Case {
    const char* what;
    std::optional<Text> primaryPassword;
    std::optional<uint32_t> before;
    bool relaxed;
  };
  const Case cases[] = {
      {"blank password, value 1", Text(), 1u, true},
      {"blank password, no value", Text(), std::nullopt, true},
      {"a password", Text(u"pw"), 1u, false},
      {"no primary account", std::nullopt, 1u, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    RunTestMachine m;
    if (c.before) {
      (void)m.machine.registry().Put(platform::kLocalMachine, kLsaKey, kLimitBlankPasswordUse,
                                     platform::RegValue::FromDword(*c.before));
    }
    if (c.primaryPassword) {
      platform::UserInfo ann;
      ann.name = u"ann";
      (void)m.machine.accounts().PutUser(ann, *c.primaryPassword);
      m.AddPrimary(u"ann", *c.primaryPassword);
    }
    std::optional<uint32_t> during;
    bool recordedDuring = false;
    sim::SimProgram probe;
    probe.onStart = [&](const sim::LaunchRecord&) {
      const auto value = m.Machine(kLsaKey, kLimitBlankPasswordUse);
      during = value ? value->AsDword() : std::nullopt;
      recordedDuring = m.Machine(kProgramKey, kPolicyRecord).has_value();
    };
    m.machine.processes().AddProgram(u"probe.exe", probe);
    m.Add(0, true, u"Probe", u"probe.exe");
    (void)m.Run();
    EXPECT_EQ(during, c.relaxed ? std::optional<uint32_t>(0) : c.before);
    EXPECT_EQ(recordedDuring, c.relaxed) << "the value before is kept while it is relaxed";
    const auto after = m.Machine(kLsaKey, kLimitBlankPasswordUse);
    EXPECT_EQ(after ? after->AsDword() : std::nullopt, c.before);
    EXPECT_FALSE(m.Machine(kProgramKey, kPolicyRecord).has_value()) << "the record is removed";
  }
}

TEST(InstallationRunTest, TheEndOfTheSessionPutsTheRelaxedPolicyBackAtOnce) {
  RunTestMachine m;
  (void)m.machine.registry().Put(platform::kLocalMachine, kLsaKey, kLimitBlankPasswordUse,
                                 platform::RegValue::FromDword(1));
  platform::UserInfo ann;
  ann.name = u"ann";
  (void)m.machine.accounts().PutUser(ann, u"");
  m.AddPrimary(u"ann", u"");
  RelaxedPolicy policy;
  m.relaxedPolicy = &policy;
  std::optional<uint32_t> afterSessionEnd;
  sim::SimProgram probe;
  // Windows ends the session while the command runs; the frame answers.
  probe.onStart = [&](const sim::LaunchRecord&) {
    EXPECT_TRUE(policy.held());
    EXPECT_EQ(RestoreAtSessionEnd(m.machine.registry(), policy), kErrorSuccess);
    afterSessionEnd = m.Machine(kLsaKey, kLimitBlankPasswordUse)->AsDword();
  };
  m.machine.processes().AddProgram(u"probe.exe", probe);
  m.Add(0, true, u"Probe", u"probe.exe");
  (void)m.Run();
  EXPECT_EQ(afterSessionEnd, std::optional<uint32_t>(1));
  EXPECT_FALSE(m.Machine(kProgramKey, kPolicyRecord).has_value());
  EXPECT_FALSE(m.app->runTotals.endedByError);
  EXPECT_EQ(m.app->runTotals.failed, 0u) << "put back once, by whoever came first";
}

TEST(InstallationRunTest, ARunThatBreaksOffOnAnErrorFailsAndStillRestores) {
  RunTestMachine m;
  (void)m.machine.registry().Put(platform::kLocalMachine, kLsaKey, kLimitBlankPasswordUse,
                                 platform::RegValue::FromDword(1));
  m.AddPrimary(u"ann", u"");
  m.app->config.UserPwd = u"pw";
  m.worker.throws = true;
  m.AddProgram(u"p.exe");
  m.Add(0, true, u"P", u"p.exe");
  const auto rows = RowTexts(m.Run());
  EXPECT_THAT(rows, ::testing::Contains("0:The run stopped on an unexpected error."));
  EXPECT_TRUE(m.Started().empty());
  EXPECT_TRUE(m.app->runTotals.endedByError);
  EXPECT_FALSE(m.app->runTotals.finished);
  EXPECT_EQ(ResultExitCode(m.app->runTotals), kExitFailed) << "failed, not cancelled (1602)";
  EXPECT_TRUE(m.app->config.UserPwd.empty());
  EXPECT_EQ(m.Machine(kLsaKey, kLimitBlankPasswordUse)->AsDword(), std::optional<uint32_t>(1));
  EXPECT_TRUE(m.status.signals()->finished->Wait(0));
}

TEST(InstallationRunTest, ACancelledRunStillWipesRestoresAndLeaves) {
  RunTestMachine m;
  (void)m.machine.registry().Put(platform::kLocalMachine, kLsaKey, kLimitBlankPasswordUse,
                                 platform::RegValue::FromDword(1));
  m.AddProgram(u"p.exe");
  m.AddProgram(u"q.exe");
  m.AddPrimary(u"ann", u"pw");
  m.app->config.UserPwd = u"pw";
  m.Add(0, true, u"P", u"p.exe");
  m.Add(0, true, u"Q", u"q.exe");
  // The Cancel question: the run is held, then the user confirms.
  m.status.onCurrentText = [](RecordingStatus& status, TextView text) {
    if (text != u"P") return;
    status.signals()->resume->Reset();
    status.signals()->RequestCancel();
  };
  (void)m.Run();
  // The Cancel came before P started: nothing runs after a confirmed Cancel.
  EXPECT_TRUE(m.Started().empty());
  EXPECT_TRUE(m.app->config.UserPwd.empty());
  EXPECT_EQ(m.Machine(kLsaKey, kLimitBlankPasswordUse)->AsDword(), std::optional<uint32_t>(1));
  EXPECT_THAT(m.variables.calls, ElementsAre(u"enter:ann", u"leave"));
  EXPECT_FALSE(m.status.finishOffered());
  EXPECT_TRUE(m.status.signals()->finished->Wait(0));
}

TEST(InstallationRunTest, ThePageShowsTheEntryWithItsVariablesExpanded) {
  RunTestMachine m;
  m.AddProgram(u"p.exe");
  ASSERT_EQ(m.app->platform.environment->Set(u"TOOLKIT", u"Toolkit 3"), kErrorSuccess);
  m.Add(0, true, u"%TOOLKIT% for everyone", u"p.exe");
  (void)m.Run();
  ASSERT_FALSE(m.status.texts().empty());
  EXPECT_EQ(ToUtf8(m.status.texts().front()), "Toolkit 3 for everyone");
}

TEST(InstallationRunTest, AnEmptyCatalogueGoesStraightToTheEnd) {
  RunTestMachine m;
  const auto rows = RowTexts(m.Run());
  EXPECT_EQ(m.status.range(), 0u);
  EXPECT_TRUE(m.status.positions().empty());
  EXPECT_THAT(rows, ElementsAre("2:Installation finished."));
  EXPECT_EQ(m.status.autoFinishAfterMs(), std::nullopt);
}

TEST(InstallationRunTest, ProgressCountsWhatTheWalkVisits) {
  RunTestMachine m;
  m.Add(0, false, u"Off");
  m.Add(1, true, u"Hidden by Off");
  m.Add(0, true, u"On");
  m.Add(0, true, u"On too");
  EXPECT_EQ(CountCheckedEntries(m.catalogue.FirstEntry()), 2u);
  EXPECT_EQ(ProgressMaximum(m.catalogue.FirstEntry()), 1u);
  EXPECT_EQ(ProgressMaximum(nullptr), 0u);
}

}  // namespace
}  // namespace tarn::run
