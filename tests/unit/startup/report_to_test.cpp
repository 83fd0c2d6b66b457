// The report folder: each start leaves its result and log there, and a
// folder it cannot reach never changes how the run ends.
#include <gtest/gtest.h>

#include <algorithm>

#include "run/report_copy.h"
#include "startup/startup.h"
#include "support/json_reader.h"
#include "support/no_account_steps.h"
#include "support/startup_machine.h"

namespace tarn::startup {
namespace {

// Ends the wizard as Finish would, after a run that went well.
class FinishingHost : public testing::NoAccountSteps, public NoWizardHost {
 public:
  WizardOutcome RunWizard(AppContext& app) override {
    app.runTotals.started = app.runTotals.finished = true;
    app.log.Write(u"Command: setup.exe /s", app::kLogInfo, 0);
    if (app.runObserver == nullptr) return WizardOutcome::kFinished;
    if (!renameTo.empty()) {
      app::StepRecord step;
      step.kind = app::StepKind::kSetting;
      step.key = u"ComputerName";
      step.name = renameTo;
      step.action = u"set";
      app.runObserver->StepFinished(step);
    }
    app.runObserver->RunFinished(app.runTotals);
    return WizardOutcome::kFinished;
  }

  // The name the run gives the computer; empty for none.
  Text renameTo;
};

class ReportToTest : public ::testing::Test, protected testing::StartupMachine {
 protected:
  ReportToTest() {
    (void)machine_.files().MakeDirectories(u"C:\\logs");
    (void)machine_.files().MakeDirectories(u"C:\\reports");
  }
  uint32_t Run(TextView line) {
    AppContext app(services_);
    return RunStartup(app, line, {host_, host_});
  }
  std::vector<Text> Names(TextView folder) {
    std::vector<Text> names;
    if (auto entries = machine_.files().ListDirectory(folder)) {
      for (const auto& entry : *entries) names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::string Utf8(TextView path) {
    const auto bytes = machine_.files().ReadAll(path);
    return bytes ? std::string(bytes->begin(), bytes->end()) : std::string();
  }

  FinishingHost host_;
};

TEST(ReportCopyStem, NamesTheComputerAndTheSecondInUtc) {
  struct Row {
    const char16_t* computer;
    int64_t unixMs;
    const char16_t* stem;
  };
  const Row rows[] = {
      {u"PC-042", 1796109222005, u"PC-042-20261201T071342Z"},
      {u"PC-042", 1796109222999, u"PC-042-20261201T071342Z"},
      {u"a\\b/c:d*e?f\"g<h>i|j", 0, u"a_b_c_d_e_f_g_h_i_j-19700101T000000Z"},
      {u"..\\x", 0, u".._x-19700101T000000Z"},
      {u"", 0, u"unknown-19700101T000000Z"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(run::ReportCopyStem(row.computer, row.unixMs), row.stem) << ToUtf8(row.computer);
  }
}

TEST_F(ReportToTest, TheResultAndTheLogArriveUnderTheComputersNameWithoutAResultFile) {
  Settings("ReportTo=%SystemDrive%\\reports\r\n");
  host_.renameTo = u"PC-042";
  EXPECT_EQ(Run(u"/log=C:\\logs\\tarn.log /skiprestart /exitcode=result"), 0u);
  EXPECT_EQ(Names(u"C:\\reports"),
            (std::vector<Text>{u"PC-042-20261201T071342Z.json", u"PC-042-20261201T071342Z.log"}))
      << "no temporary file is left; the name is the one the run gave the computer";
  const auto json = testing::JsonReader::Parse(Utf8(u"C:\\reports\\PC-042-20261201T071342Z.json"));
  ASSERT_TRUE(json);
  EXPECT_EQ((*json)["computer"].str(), "PC-042");
  EXPECT_EQ((*json)["exitCode"].number, 0) << "without a restart the copy knows the exit code";
  EXPECT_TRUE((*json)["finished"].boolean);
  const std::string log = Utf8(u"C:\\reports\\PC-042-20261201T071342Z.log");
  EXPECT_NE(ReadUtf16(u"C:\\reports\\PC-042-20261201T071342Z.log").find(u"setup.exe /s"),
            Text::npos);
  EXPECT_EQ(Utf8(u"C:\\logs\\tarn.log").rfind(log, 0), 0u) << "the copy is the log up to then";
  EXPECT_EQ(machine_.system().sleptMs(), 0u);
}

TEST_F(ReportToTest, AFolderOutOfReachIsAWarningAfterTheRetriesAndTheRunStillSucceeds) {
  Settings("ReportTo=\\\\fileserver\\reports\r\n");
  EXPECT_EQ(Run(u"/log=C:\\logs\\tarn.log /skiprestart /exitcode=result "
                u"/result=C:\\logs\\result.json"),
            0u);
  EXPECT_EQ(machine_.system().sleptMs(), (run::kReportCopyTries - 1) * run::kReportCopyPauseMs);
  const auto json = testing::JsonReader::Parse(Utf8(u"C:\\logs\\result.json"));
  ASSERT_TRUE(json);
  const auto& warnings = (*json)["warnings"].items;
  EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [](const auto& warning) {
    return warning.str().find("\\\\fileserver\\reports") != std::string::npos;
  })) << "the warning reaches the result file, written again after it";
  EXPECT_EQ((*json)["exitCode"].number, 0);
  EXPECT_NE(ReadUtf16(u"C:\\logs\\tarn.log").find(u"could not be reached"), Text::npos);
}

TEST_F(ReportToTest, TheCopyIsMadeBeforeTheRestartIsAskedFor) {
  Settings("ReportTo=C:\\reports\r\n");
  EXPECT_EQ(Run(u"/exitcode=result"), 1641u);
  ASSERT_EQ(machine_.system().shutdownRequests().size(), 1u);
  const std::string text = Utf8(u"C:\\reports\\TARN-PC-20261201T071342Z.json");
  const auto json = testing::JsonReader::Parse(text);
  ASSERT_TRUE(json);
  EXPECT_FALSE((*json)["restartStarted"].boolean);
  EXPECT_NE(text.find("\"exitCode\":null"), std::string::npos)
      << "the program's end is not known before the restart";
}

TEST_F(ReportToTest, WithoutTheKeyNothingIsCopied) {
  Settings("");
  EXPECT_EQ(Run(u"/log=C:\\logs\\tarn.log /skiprestart"), 0u);
  EXPECT_TRUE(Names(u"C:\\reports").empty());
}

}  // namespace
}  // namespace tarn::startup
