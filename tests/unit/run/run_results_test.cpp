// What a launcher gets from a run: the result file, the exit code and the
// resume journal, on the simulated machine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>

#include "app/file_trust.h"
#include "platform/sim/sim_windows_layout.h"
#include "run/file_replacement.h"
#include "run/installation_run.h"
#include "run/result_file.h"
#include "run/resume_journal.h"
#include "support/json_reader.h"
#include "tarn_version.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run {
namespace {

using tarn::testing::JsonReader;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::RowTexts;
using testing::RunTestMachine;

constexpr char16_t kConfig[] = u"C:\\setup\\install.ini";
constexpr char16_t kResult[] = u"C:\\setup\\result.json";
constexpr char16_t kJournal[] = u"C:\\setup\\install.ini.journal";

struct ResultsMachine : RunTestMachine {
  ResultsMachine() {
    EXPECT_TRUE(machine.files().PutTextFile(kConfig, "[Settings]\r\n"));
    machine.system().SetUnixTimeMs(1796109222005);
  }
  // An entry "T.<n>" whose program ends with `exitCode` after 1.5 s of the clock.
  void Entry(int n, uint32_t exitCode) {
    const Text program = u"p" + DecimalText(static_cast<uint32_t>(n)) + u".exe";
    sim::SimProgram sim;
    sim.exitCode = exitCode;
    sim.onStart = [this](const sim::LaunchRecord&) { machine.system().AdvanceUnixTimeMs(1500); };
    machine.processes().AddProgram(program, sim);
    Add(1, true, u"Step " + DecimalText(static_cast<uint32_t>(n)), program).Key =
        u"T." + DecimalText(static_cast<uint32_t>(n));
  }
  std::string File(TextView path) {
    const auto bytes = machine.files().ReadAll(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
  }
};

TEST(RunResultsTest, TheResultFileRecordsEveryCommand) {
  ResultsMachine m;
  m.Add(0, true, u"T").Key = u"T";
  m.Entry(1, 0);
  m.Entry(2, 3010);
  m.Entry(3, 1);
  ResultFile result(*m.app, kResult, kConfig);
  m.app->runObserver = &result;
  (void)m.Run();
  result.Close(m.app->runTotals, ResultExitCode(m.app->runTotals));

  const auto json = JsonReader::Parse(m.File(kResult));
  ASSERT_TRUE(json) << m.File(kResult);
  const auto& root = *json;
  EXPECT_EQ(root["program"].str(), "TARN");
  EXPECT_EQ(root["programVersion"].str(), TARN_VERSION_TEXT);
  EXPECT_EQ(root["configuration"].str(), "C:\\setup\\install.ini");
  EXPECT_EQ(root["started"].str(), "2026-12-01T07:13:42.005Z");
  EXPECT_EQ(root["ended"].str(), "2026-12-01T07:13:46.505Z");
  EXPECT_TRUE(root["finished"].boolean);
  EXPECT_TRUE(root["restartNeeded"].boolean);
  EXPECT_FALSE(root["resumed"].boolean);
  EXPECT_EQ(root["exitCode"].number, 1603);
  std::vector<std::string> steps;
  for (const auto& step : root["steps"].items) {
    steps.push_back(step["kind"].str() + " " + step["key"].str() + " " + step["name"].str() + " " +
                    std::to_string(static_cast<int>(step["exitCode"].number)) + " " +
                    step["outcome"].str() + " " + step["started"].str() + " " +
                    std::to_string(static_cast<int>(step["durationMs"].number)) + " " +
                    std::to_string(static_cast<int>(step["tries"].number)));
  }
  EXPECT_THAT(steps,
              ElementsAre("entry T.1 Step 1 0 success 2026-12-01T07:13:42.005Z 1500 1",
                          "entry T.2 Step 2 3010 success-restart 2026-12-01T07:13:43.505Z 1500 1",
                          "entry T.3 Step 3 1 error 2026-12-01T07:13:45.005Z 1500 1"));
  // Replaced whole: no temporary file is left behind.
  const auto left = m.machine.files().ListDirectory(u"C:\\setup");
  ASSERT_TRUE(left);
  for (const auto& entry : *left) EXPECT_FALSE(entry.name.ends_with(u".tmp")) << ToUtf8(entry.name);
}

TEST(RunResultsTest, EachSettingAppliedIsAStepAndAFailedOneFailsTheRun) {
  ResultsMachine m;
  m.app->config.Computer = u"NEWPC";
  m.app->config.Workgroup = u"OFFICE";
  m.app->config.Owner = u"Ann";
  m.app->config.AutoLogon = app::AutoLogonMode::kOn;
  m.app->config.User = u"ann";
  m.AddPrimary(u"ann", u"pw").Group = accounts::kGroupUnchanged;
  // The workgroup join and the automatic-logon secret are refused.
  m.machine.faults().FailNth(sim::CallKind::kWorkgroupJoin, 1, kErrorAccessDenied);
  m.machine.faults().FailNth(sim::CallKind::kPrivateData, 1, kErrorNotEnoughMemory);
  m.machine.faults().Arm();
  ResultFile result(*m.app, kResult, kConfig);
  m.app->runObserver = &result;
  (void)m.Run();
  m.machine.faults().Disarm();
  const uint32_t exitCode = ResultExitCode(m.app->runTotals);
  result.Close(m.app->runTotals, exitCode);

  const auto json = JsonReader::Parse(m.File(kResult));
  ASSERT_TRUE(json) << m.File(kResult);
  std::vector<std::string> steps;
  for (const auto& step : (*json)["steps"].items) {
    steps.push_back(step["kind"].str() + " " + step["key"].str() + " " + step["name"].str() + " " +
                    step["action"].str() + " " + step["outcome"].str() + " " +
                    std::to_string(static_cast<uint32_t>(step["exitCode"].number)));
  }
  // A success has no code (null reads as 0); the secret's store answers
  // with an NTSTATUS (STATUS_NO_MEMORY).
  EXPECT_THAT(steps, ElementsAre("setting AutoLogon ann set error 3221225495",
                                 "setting ComputerName NEWPC set success 0",
                                 "setting RegisteredOwner Ann set success 0",
                                 "setting Workgroup OFFICE set error 5"));
  EXPECT_THAT(m.File(kResult), HasSubstr(R"("exitCode":null,"outcome":"success")"));
  EXPECT_TRUE(m.app->runTotals.finished);
  EXPECT_EQ(m.app->runTotals.failed, 2u);
  EXPECT_EQ(exitCode, kExitFailed);
}

TEST(RunResultsTest, ExitCodeTable) {
  struct Row {
    bool started, finished, restartNeeded, restartStarted;
    uint32_t failed, code;
  };
  const Row rows[] = {
      {true, true, false, false, 0, 0},    {true, true, true, false, 0, 3010},
      {true, true, true, true, 0, 1641},   {true, true, false, true, 0, 1641},
      {true, true, true, true, 1, 1603},   {true, false, false, false, 1, 1603},
      {true, false, true, false, 0, 1602}, {false, false, false, false, 0, 1602},
  };
  for (const Row& row : rows) {
    app::RunTotals totals;
    totals.started = row.started;
    totals.finished = row.finished;
    totals.restartNeeded = row.restartNeeded;
    totals.restartStarted = row.restartStarted;
    totals.failed = row.failed;
    EXPECT_EQ(ResultExitCode(totals), row.code)
        << row.started << row.finished << row.restartNeeded << row.restartStarted << row.failed;
  }
}

// An earlier run did T.1 and T.2 and was cut off while T.3 was being written.
void InterruptedRun(ResultsMachine& m) {
  ResumeJournal journal(*m.app, kJournal, kConfig);
  app::StepRecord step;
  step.key = u"T.1";
  journal.StepFinished(step);
  step.key = u"T.2";
  step.outcome = app::Outcome::kWarning;
  journal.StepFinished(step);
  step.key = u"T.4";
  step.outcome = app::Outcome::kError;
  journal.StepFinished(step);
}

TEST(RunResultsTest, ResumePassesOverWhatAnEarlierRunDid) {
  ResultsMachine m;
  InterruptedRun(m);
  std::string cut = m.File(kJournal) + R"(["entry","T.3","succ)";
  ASSERT_TRUE(m.machine.files().PutTextFile(kJournal, cut));
  for (int n = 1; n <= 4; ++n) m.Entry(n, 0);

  ResumeJournal journal(*m.app, kJournal, kConfig);
  m.app->runObserver = &journal;
  const auto rows = RowTexts(m.Run());

  // The cut line and the failed step run again.
  EXPECT_THAT(m.Started(), ElementsAre("\"p3.exe\" ", "\"p4.exe\" "));
  EXPECT_THAT(rows[0], HasSubstr("Resuming: \"Step 1\" is already done"));
  EXPECT_THAT(rows[1], HasSubstr("Resuming: \"Step 2\" is already done"));
  EXPECT_TRUE(m.app->runTotals.resumed);
  EXPECT_FALSE(m.machine.files().Exists(kJournal));
}

TEST(RunResultsTest, AJournalThatIsNotTrustedIsNotUsed) {
  struct Row {
    const char* name;
    std::function<void(ResultsMachine&)> tamper;
    const char* warning;
  } rows[] = {
      {"another machine",
       [](ResultsMachine& m) {
         (void)m.machine.registry().Put(platform::kLocalMachine,
                                        u"SOFTWARE\\Microsoft\\Cryptography", u"MachineGuid",
                                        platform::RegValue::FromText(u"another-machine"));
       },
       "belongs to the computer"},
      {"owned by a standard user",
       [](ResultsMachine& m) {
         (void)m.machine.files().SetOwner(kJournal,
                                          *platform::Sid::FromText(u"S-1-5-21-1-2-3-1001"));
       },
       "is owned by S-1-5-21-1-2-3-1001"},
      {"reached through a junction",
       [](ResultsMachine& m) {
         ASSERT_TRUE(m.machine.files().MakeJunction(u"C:\\linked", u"C:\\setup"));
       },
       "junction or link \"C:\\linked\""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    ResultsMachine m;
    InterruptedRun(m);
    row.tamper(m);
    for (int n = 1; n <= 4; ++n) m.Entry(n, 0);
    const Text path = std::string_view(row.name).starts_with("reached")
                          ? Text(u"C:\\linked\\install.ini.journal")
                          : Text(kJournal);
    ResumeJournal journal(*m.app, path, kConfig);
    m.app->runObserver = &journal;
    (void)m.Run();

    EXPECT_THAT(m.Started(),
                ElementsAre("\"p1.exe\" ", "\"p2.exe\" ", "\"p3.exe\" ", "\"p4.exe\" "));
    EXPECT_FALSE(m.app->runTotals.resumed);
    ASSERT_EQ(m.app->warnings.size(), 1u);
    EXPECT_THAT(ToUtf8(m.app->warnings[0]), HasSubstr(row.warning));
    EXPECT_THAT(ToUtf8(m.app->warnings[0]), HasSubstr("it is not used and every step runs"));
  }
}

TEST(RunResultsTest, AReplacementLeavesNoTemporaryFileAndTakesNoPreparedOne) {
  ResultsMachine m;
  sim::SimFileSystem& files = m.machine.files();
  const std::vector<uint8_t> text{'n', 'e', 'w'};
  // Someone prepared the first temporary name: it is passed over, untouched.
  ASSERT_TRUE(files.PutTextFile(u"C:\\setup\\r.json.7-0.tmp", "planted"));
  EXPECT_EQ(ReplaceFileWhole(files, u"C:\\setup\\r.json", text, 7), kErrorSuccess);
  EXPECT_EQ(m.File(u"C:\\setup\\r.json"), "new");
  EXPECT_EQ(m.File(u"C:\\setup\\r.json.7-0.tmp"), "planted");
  // A move that fails (a folder is in the way) removes its temporary file.
  ASSERT_TRUE(files.MakeDirectories(u"C:\\setup\\dir.json"));
  EXPECT_NE(ReplaceFileWhole(files, u"C:\\setup\\dir.json", text, 8), kErrorSuccess);
  EXPECT_FALSE(files.Exists(u"C:\\setup\\dir.json.8-0.tmp"));
}

TEST(RunResultsTest, TheJournalLivesInTheMachinesOwnFolder) {
  ResultsMachine m;
  EXPECT_EQ(ToUtf8(JournalPathFor(m.app->platform, u"E:\\stick\\install.ini")),
            "C:\\ProgramData\\TARN\\install.ini.journal");
  ResumeJournal journal(*m.app, JournalPathFor(m.app->platform, kConfig), kConfig);
  const auto entries = m.machine.files().GetAccessList(u"C:\\ProgramData\\TARN");
  ASSERT_TRUE(entries);
  EXPECT_EQ(*entries, app::AdministrationOnlyList());
  EXPECT_THAT(m.File(u"C:\\ProgramData\\TARN\\install.ini.journal"),
              HasSubstr(ToUtf8(sim::kMachineGuid)));
}

}  // namespace
}  // namespace tarn::run
