// Time limits and installer exit codes of one launch, on the simulated machine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>

#include "run/launch_entry.h"
#include "unit/run/run_test_machine.h"

namespace tarn::run::testing {
namespace {

using ::testing::ElementsAre;

// Registers `name` to end with codes[0] at its first start, codes[1] at the
// next, and so on; the last code repeats. Without codes it runs until ended.
void AddExitCodes(RunTestMachine& m, TextView name, std::vector<uint32_t> codes) {
  sim::SimProgram program;
  program.durationMs = codes.empty() ? platform::kWaitForever : 0;
  program.exitCode = codes.empty() ? 0 : codes.front();
  if (codes.size() > 1) {
    program.onStart = [&m, name = Text(name),
                       rest = std::vector<uint32_t>(codes.begin() + 1, codes.end())](
                          const sim::LaunchRecord&) { AddExitCodes(m, name, rest); };
  }
  m.machine.processes().AddProgram(name, program);
}

struct Launched {
  std::vector<std::string> rows;
  app::StepRecord record;
};

// Launches `entry` on this thread, as the run does.
Launched LaunchOne(RunTestMachine& m, catalogue::SoftwareEntry& entry) {
  const auto signals = MakeRunSignals(m.machine.processes());
  const ResultTexts texts = LoadResultTexts(*m.app);
  LaunchContext context{*m.app, m.status, *signals, nullptr, false, texts, u"C:\\tarn"};
  Launched out;
  m.app->log.SetListener([&out](Text message, int32_t level) {
    out.rows.push_back(std::to_string(level) + ":" + ToUtf8(message));
  });
  (void)LaunchEntry(context, entry, out.record);
  m.app->log.SetListener({});
  return out;
}

TEST(LaunchLimitsTest, TheEntrysLimitGoesBeforeTheConfigurations) {
  struct Row {
    std::optional<uint32_t> entry;
    int32_t config;
    uint32_t limit;
  } rows[] = {{std::nullopt, 0, 0}, {std::nullopt, 30, 30}, {5, 30, 5}, {0, 30, 0}};
  for (const Row& row : rows) {
    app::InstallConfig config;
    config.CommandTimeout = row.config;
    catalogue::SoftwareEntry entry;
    entry.TimeoutSeconds = row.entry;
    EXPECT_EQ(TimeLimitSeconds(config, entry), row.limit) << "config " << row.config;
  }
}

TEST(LaunchLimitsTest, AtItsLimitTheCommandsTreeIsEndedAndTheRunGoesOn) {
  RunTestMachine m;
  m.app->config.CommandTimeout = 1;
  sim::SimProgram setup;
  setup.child = u"helper.exe";
  m.machine.processes().AddProgram(u"setup.exe", setup);
  sim::SimProgram helper;
  helper.durationMs = platform::kWaitForever;
  m.machine.processes().AddProgram(u"helper.exe", helper);
  m.AddProgram(u"next.exe");
  m.Add(0, true, u"Hangs", u"setup.exe");
  m.Add(0, true, u"Next", u"next.exe");

  const auto started = std::chrono::steady_clock::now();
  const auto rows = RowTexts(m.Run());

  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_THAT(rows, ElementsAre("0:\"Hangs\" was still running after 1 seconds and was ended.",
                                "2:\"Next\" completed successfully.", "2:Installation finished."));
  const auto launches = m.machine.processes().launches();
  ASSERT_EQ(launches.size(), 3u);
  EXPECT_EQ(launches[1].exitCode, std::optional<uint32_t>(kTimedOutExitCode))
      << "the command's child was left running";
}

TEST(LaunchLimitsTest, TimeLimitsAndInstallerCodesJudgeTheStep) {
  constexpr const char* kDone = "2:\"P\" completed successfully.";
  struct Row {
    bool installerCodes;
    std::vector<uint32_t> codes;  // none: runs until it is ended
    std::optional<uint32_t> limit;
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
      {true, {}, 1, 1, "error", kTimedOutExitCode,
       "0:\"P\" was still running after 1 seconds and was ended."},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.lastRow);
    RunTestMachine m;
    m.app->config.InstallerCodes = row.installerCodes;
    m.app->config.BusyRetries = 2;
    m.app->config.BusyPause = 0;
    AddExitCodes(m, u"p.exe", row.codes);
    catalogue::SoftwareEntry& entry = m.Add(0, true, u"P", u"p.exe");
    entry.TimeoutSeconds = row.limit;
    const Launched launched = LaunchOne(m, entry);
    EXPECT_EQ(launched.record.tries, row.tries);
    EXPECT_EQ(ToUtf8(app::OutcomeName(launched.record.outcome)), row.outcome);
    EXPECT_EQ(launched.record.exitCode, std::optional<uint32_t>(row.exitCode));
    ASSERT_EQ(launched.rows.size(), row.tries);
    EXPECT_EQ(launched.rows.back(), row.lastRow);
    if (row.tries > 1) {
      EXPECT_EQ(launched.rows[0],
                "1:Another installation is in progress; \"P\" will be started again in 0 seconds "
                "(try 1 of 2).");
    }
  }
}

}  // namespace
}  // namespace tarn::run::testing
