// Time limits and installer exit codes of one launch, on the simulated machine.
#include <gtest/gtest.h>

#include "run/launch_entry.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run::testing {
namespace {

// `name` ends with codes[0] at its first start, codes[1] at the next, and so
// on; the last code repeats. Without codes it waits for a child that never ends.
void AddExitCodes(RunTestMachine& m, TextView name, std::vector<uint32_t> codes) {
  sim::SimProgram program;
  if (codes.empty()) program.child = u"helper.exe";
  if (!codes.empty()) program.exitCode = codes.front();
  if (codes.size() > 1) {
    program.onStart = [&m, name = Text(name), codes](const sim::LaunchRecord&) {
      AddExitCodes(m, name, {codes.begin() + 1, codes.end()});
    };
  }
  m.machine.processes().AddProgram(name, program);
}

TEST(LaunchLimitsTest, TimeLimitsAndInstallerCodesJudgeTheStep) {
  constexpr const char* kDone = "2:\"P\" completed successfully.";
  struct Row {
    bool installerCodes;
    std::vector<uint32_t> codes;
    std::optional<uint32_t> limit;  // the entry's; the configuration's is 1
    uint32_t tries;
    const char* outcome;
    uint32_t exitCode;
    const char* lastRow;
  } rows[] = {
      // clang-format off
      {true, {1618, 0}, {}, 2, "success", 0, kDone},
      {true, {1618}, {}, 3, "error", 1618, "1:\"P\" ended with exit code 1618."},
      {true, {1641}, {}, 1, "success-restart", 1641, kDone},
      {false, {1641}, {}, 1, "error", 1641, "1:\"P\" ended with exit code 1641."},
      {false, {1618, 0}, {}, 1, "error", 1618, "1:\"P\" ended with exit code 1618."},
      {true, {}, 2, 1, "error", 1460, "0:\"P\" was still running after 2 seconds and was ended."},
      {true, {}, {}, 1, "error", 1460, "0:\"P\" was still running after 1 seconds and was ended."},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lastRow);
    RunTestMachine m;
    m.app->config.InstallerCodes = row.installerCodes;
    m.app->config.BusyRetries = 2;
    m.app->config.BusyPause = 0;
    m.app->config.CommandTimeout = 1;
    sim::SimProgram forever;
    forever.durationMs = platform::kWaitForever;
    m.machine.processes().AddProgram(u"helper.exe", forever);
    AddExitCodes(m, u"p.exe", row.codes);
    catalogue::SoftwareEntry& entry = m.Add(0, true, u"P", u"p.exe");
    entry.TimeoutSeconds = row.limit;
    const catalogue::SoftwareEntry& next = m.Add(0, true, u"Next", u"next.exe");

    const auto signals = MakeRunSignals(m.machine.processes());
    const ResultTexts texts = LoadResultTexts(*m.app);
    LaunchContext context{*m.app, m.status, *signals, nullptr, texts, u"C:\\tarn"};
    std::vector<std::string> lines;
    m.app->log.SetListener([&lines](Text message, int32_t level) {
      lines.push_back(std::to_string(level) + ":" + ToUtf8(message));
    });
    app::StepRecord record;
    EXPECT_EQ(LaunchEntry(context, entry, record), &next);
    m.app->log.SetListener({});

    EXPECT_EQ(record.tries, row.tries);
    EXPECT_EQ(ToUtf8(app::OutcomeName(record.outcome)), row.outcome);
    EXPECT_EQ(record.exitCode, std::optional<uint32_t>(row.exitCode));
    EXPECT_EQ(m.machine.processes().launches().back().exitCode, record.exitCode)
        << "the whole tree ends with the command";
    ASSERT_EQ(lines.size(), row.tries);
    EXPECT_EQ(lines.back(), row.lastRow);
    if (row.tries > 1) {
      EXPECT_EQ(lines[0],
                "1:Another installation is in progress; \"P\" will be started again in "
                "0 seconds (try 1 of 2).");
    }
  }
}

TEST(LaunchLimitsTest, ACommandThatOutlivesItsEndAtTheLimitIsReportedAndNothingFollows) {
  RunTestMachine m;
  m.machine.processes().SetTerminateRefusal(kErrorAccessDenied);
  sim::SimProgram forever;
  forever.durationMs = platform::kWaitForever;
  m.machine.processes().AddProgram(u"p.exe", forever);
  catalogue::SoftwareEntry& entry = m.Add(0, true, u"P", u"p.exe");
  entry.TimeoutSeconds = 1;
  (void)m.Add(0, true, u"Next", u"next.exe");

  const auto signals = MakeRunSignals(m.machine.processes());
  const ResultTexts texts = LoadResultTexts(*m.app);
  LaunchContext context{*m.app, m.status, *signals, nullptr, texts, u"C:\\tarn"};
  context.endWaitMs = 300;
  std::vector<std::string> lines;
  m.app->log.SetListener([&lines](Text message, int32_t level) {
    lines.push_back(std::to_string(level) + ":" + ToUtf8(message));
  });
  app::StepRecord record;
  EXPECT_EQ(LaunchEntry(context, entry, record), nullptr);
  m.app->log.SetListener({});

  EXPECT_TRUE(context.commandLeftRunning);
  EXPECT_EQ(ToUtf8(app::OutcomeName(record.outcome)), "error");
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(),
            "0:\"P\" was still running 300 ms after it was ended at its time limit; nothing more "
            "is started beside it.");
  EXPECT_EQ(m.machine.processes().launches().size(), 1u);
}

}  // namespace
}  // namespace tarn::run::testing
