// Detection before and after an entry's command, and on a resumed run, on
// the simulated machine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run/resume_journal.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run {
namespace {

using ::testing::ElementsAre;
using testing::RowTexts;
using testing::RunTestMachine;

constexpr char16_t kConfig[] = u"C:\\setup\\install.ini";
constexpr char16_t kJournal[] = u"C:\\setup\\install.ini.journal";

// Keeps every finished step; nothing was done by an earlier run unless the
// journal behind it says so.
struct StepLog : app::RunObserver {
  bool AlreadyDone(app::StepKind kind, TextView key) override {
    return journal != nullptr && journal->AlreadyDone(kind, key);
  }
  void StepFinished(const app::StepRecord& step) override {
    steps.push_back(step);
    if (journal != nullptr) journal->StepFinished(step);
  }
  void RunFinished(const app::RunTotals&) override {}
  std::vector<app::StepRecord> steps;
  ResumeJournal* journal = nullptr;
};

std::string Optional(std::optional<bool> value) {
  return value ? (*value ? "yes" : "no") : "-";
}

// "key outcome exitCode before after" of a step.
std::string Describe(const app::StepRecord& step) {
  return ToUtf8(step.key) + " " + ToUtf8(app::OutcomeName(step.outcome)) + " " +
         (step.exitCode ? std::to_string(*step.exitCode) : "-") + " " +
         Optional(step.detectedBefore) + " " + Optional(step.detectedAfter);
}

struct DetectionMachine : RunTestMachine {
  DetectionMachine() { EXPECT_TRUE(machine.files().PutTextFile(kConfig, "[T]\r\n")); }
  // Entry "T.<n>" detected by `detect`; its program ends with `exitCode` and
  // leaves the file `leaves` behind when one is given.
  void Entry(int n, TextView detect, uint32_t exitCode, TextView leaves = u"") {
    const Text number = DecimalText(static_cast<uint32_t>(n));
    sim::SimProgram program;
    program.exitCode = exitCode;
    program.onStart = [this, leaves = Text(leaves)](const sim::LaunchRecord&) {
      if (!leaves.empty()) (void)machine.files().PutTextFile(leaves, "x");
    };
    machine.processes().AddProgram(u"p" + number + u".exe", program);
    catalogue::SoftwareEntry& entry = Add(1, true, u"Step " + number, u"p" + number + u".exe");
    entry.Key = u"T." + number;
    if (!detect.empty()) entry.Detect = Text(detect);
  }
};

TEST(EntryDetectionTest, PresentBeforeIsNotStartedAndMissingAfterIsAnError) {
  DetectionMachine m;
  ASSERT_TRUE(m.machine.files().PutTextFile(u"C:\\Apps\\one.exe", "x"));
  m.Entry(1, u"C:\\Apps\\one.exe", 0);
  m.Entry(2, u"C:\\Apps\\two.exe", 0);
  m.Entry(3, u"C:\\Apps\\three.exe", 3010, u"C:\\Apps\\three.exe");
  m.Entry(4, u"C:\\Apps\\four.exe", 1);
  // A comparison on a missing file finds nothing, where a test value is true.
  m.Entry(5, u"C:\\Apps\\five.exe?size>0", 0, u"C:\\Apps\\five.exe");
  // Not selected: its detection changes nothing.
  m.Entry(6, u"C:\\Apps\\one.exe", 0);
  m.catalogue.LastEntry()->State = catalogue::kStateUnselected;
  StepLog log;
  m.app->runObserver = &log;
  const auto rows = RowTexts(m.Run());

  std::vector<std::string> steps;
  for (const auto& step : log.steps) steps.push_back(Describe(step));
  EXPECT_THAT(steps, ElementsAre("T.1 present - yes -", "T.2 error 0 no no",
                                 "T.3 success-restart 3010 no yes", "T.4 error 1 no -",
                                 "T.5 success 0 no yes"));
  EXPECT_THAT(m.Started(), ElementsAre("\"p2.exe\" ", "\"p3.exe\" ", "\"p4.exe\" ", "\"p5.exe\" "));
  EXPECT_THAT(rows, ::testing::Contains("2:\"Step 1\" is already present; it is not started."));
  EXPECT_THAT(rows,
              ::testing::Contains("0:\"Step 2\" ended with exit code 0 but was not detected after "
                                  "installation."));
  EXPECT_EQ(m.app->runTotals.failed, 2u);
}

TEST(EntryDetectionTest, AResumedRunLooksAgainInsteadOfTrustingTheJournal) {
  DetectionMachine m;
  {
    ResumeJournal earlier(*m.app, kJournal, kConfig);
    app::StepRecord step;
    for (const char16_t* key : {u"T.1", u"T.2", u"T.3"}) {
      step.key = key;
      earlier.StepFinished(step);
    }
  }
  // T.1 is still there, T.2 has gone since, T.3 has no detection.
  ASSERT_TRUE(m.machine.files().PutTextFile(u"C:\\Apps\\one.exe", "x"));
  m.Entry(1, u"C:\\Apps\\one.exe", 0);
  m.Entry(2, u"C:\\Apps\\two.exe", 0, u"C:\\Apps\\two.exe");
  m.Entry(3, u"", 0);
  ResumeJournal journal(*m.app, kJournal, kConfig);
  StepLog log;
  log.journal = &journal;
  m.app->runObserver = &log;
  const auto rows = RowTexts(m.Run());

  EXPECT_THAT(m.Started(), ElementsAre("\"p2.exe\" "));
  std::vector<std::string> steps;
  for (const auto& step : log.steps) steps.push_back(Describe(step));
  EXPECT_THAT(steps,
              ElementsAre("T.1 present - yes -", "T.2 success 0 no yes", "T.3 skipped - - -"));
  EXPECT_THAT(rows, ::testing::Contains("1:Resuming: \"Step 2\" was done by an earlier run but "
                                        "is not detected; it runs again."));
  EXPECT_TRUE(m.app->runTotals.resumed);
}

}  // namespace
}  // namespace tarn::run
