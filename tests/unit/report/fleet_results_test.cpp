#include "report/fleet_results.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace tarn::report {
namespace {

// A result file of the form the program writes; `extra` goes before "steps".
std::string ResultJson(std::string_view started, std::string_view ended, bool finished,
                       std::string_view steps, std::string_view extra = "") {
  return std::string(R"({"$schema":"urn:tarn:result-file:1","version":1,"program":"TARN",)") +
         R"("programVersion":"1.0.0","configuration":"C:\\deploy\\install.ini","started":")" +
         std::string(started) + "\",\"ended\":" +
         (ended.empty() ? std::string("null") : "\"" + std::string(ended) + "\"") +
         ",\"finished\":" + (finished ? "true" : "false") +
         R"(,"resumed":false,"restartNeeded":false,"restartStarted":false,"restarts":0,)" +
         R"("exitCode":null,"warnings":[],)" + std::string(extra) + "\"steps\":[" +
         std::string(steps) + "]}";
}

std::string Step(std::string_view key, std::string_view outcome, std::string_view code,
                 std::string_view kind = "entry") {
  return "{\"kind\":\"" + std::string(kind) + "\",\"key\":\"" + std::string(key) +
         "\",\"name\":\"Tool " + std::string(key) +
         "\",\"action\":\"command\",\"exitCode\":" + std::string(code) + ",\"outcome\":\"" +
         std::string(outcome) +
         "\",\"started\":\"2026-12-01T07:13:42.005Z\",\"durationMs\":250,\"tries\":1,"
         "\"exitClass\":null,\"detectedBefore\":null,\"detectedAfter\":null}";
}

RunFacts Read(std::string_view file, const std::string& json) {
  auto read = ReadRun(file, json);
  EXPECT_TRUE(std::holds_alternative<RunFacts>(read)) << json;
  return std::holds_alternative<RunFacts>(read) ? std::get<RunFacts>(read) : RunFacts{};
}

TEST(FleetResults, TheMachineIsTheFilesOwnFieldElseTheNameReportToGaveIt) {
  struct Row {
    const char* file;
    const char* extra;
    const char* computer;
  };
  const Row rows[] = {
      {"PC-042-20261209T071500Z.json", "", "PC-042"},
      {"PC-042-20261209T071500Z.json", R"("computer":"LAB-7",)", "LAB-7"},
      {"result.json", "", "result"},
      {"A-B-C-20261209T071500Z.json", "", "A-B-C"},
      {"PC-20261209T0715Z.json", "", "PC-20261209T0715Z"},
      {"-20261209T071500Z.json", "", "-20261209T071500Z"},
  };
  for (const Row& row : rows) {
    const RunFacts run =
        Read(row.file, ResultJson("2026-12-01T07:13:42.005Z", "", false, "", row.extra));
    EXPECT_EQ(run.computer, row.computer) << row.file;
  }
}

TEST(FleetResults, WhatIsNoReadableResultFileSaysWhy) {
  struct Row {
    std::string json;
    const char* reason;
  };
  const Row rows[] = {
      {"{\"version\":1,", "not JSON"},
      {"", "not JSON"},
      {"[1,2]", "not a TARN result file"},
      {R"({"program":"other","version":1})", "not a TARN result file"},
      {R"({"program":"TARN","version":2})", "result file version not known"},
  };
  for (const Row& row : rows) {
    const auto read = ReadRun("x.json", row.json);
    ASSERT_TRUE(std::holds_alternative<std::string>(read)) << row.json;
    EXPECT_EQ(std::get<std::string>(read), row.reason) << row.json;
  }
}

TEST(FleetResults, TheOutcomeOfARunAndItsDuration) {
  struct Row {
    const char* ended;
    bool finished;
    std::string steps;
    const char* outcome;
    std::optional<int64_t> durationMs;
  };
  const Row rows[] = {
      {"2026-12-01T07:14:42.105Z", true, Step("Tools.0", "success", "0"), "success", 60'100},
      {"2026-12-01T07:14:42.105Z", true, Step("Tools.0", "warning", "0"), "warning", 60'100},
      {"2026-12-01T07:14:42.105Z", true,
       Step("Tools.0", "success", "0") + "," + Step("Tools.1", "error", "1603"), "failed", 60'100},
      {"2026-12-01T07:14:42.105Z", false, Step("Tools.0", "aborted", "null"), "failed", 60'100},
      {"2026-12-01T07:14:42.105Z", false, "", "cancelled", 60'100},
      {"", false, Step("Tools.0", "success", "0"), "running", std::nullopt},
      {"2026-12-01T07:14:42.105Z", false,
       Step("Tools.0", "success-restart", "3010") + "," +
           Step("Tools.0", "success", "null", "restart"),
       "restarting", 60'100},
      {"2026-12-02T07:13:42.005Z", true, "", "success", 86'400'000},
      {"2026-11-30T07:13:42.005Z", true, "", "success", std::nullopt},
  };
  for (const Row& row : rows) {
    const RunFacts run =
        Read("pc.json", ResultJson("2026-12-01T07:13:42.005Z", row.ended, row.finished, row.steps));
    EXPECT_EQ(RunOutcome(run), row.outcome) << row.steps;
    EXPECT_EQ(DurationMs(run), row.durationMs) << row.ended;
  }
}

TEST(FleetResults, UtcTimesOnlyInTheFormTheProgramWrites) {
  EXPECT_EQ(ParseUtcTime("1970-01-01T00:00:00.000Z"), 0);
  EXPECT_EQ(ParseUtcTime("2026-12-01T07:13:42.005Z"), 1796109222005);
  EXPECT_EQ(ParseUtcTime("2000-02-29T23:59:59.999Z"), 951868799999);
  for (const char* wrong : {"2026-12-01T07:13:42Z", "2026-13-01T07:13:42.005Z",
                            "2026-12-01 07:13:42.005Z", "2026-12-01T07:13:42.0a5Z", ""}) {
    EXPECT_FALSE(ParseUtcTime(wrong)) << wrong;
  }
}

TEST(FleetResults, TheLatestRunStandsForTheMachineAndFailuresGatherAcrossMachines) {
  std::vector<RunFacts> runs;
  // PC-1: an earlier failure, then a run that went well.
  runs.push_back(Read("PC-1-20261201T070000Z.json",
                      ResultJson("2026-12-01T07:00:00.000Z", "2026-12-01T07:05:00.000Z", true,
                                 Step("Tools.1", "error", "1603"))));
  runs.push_back(Read("pc-1-20261202T070000Z.json",
                      ResultJson("2026-12-02T07:00:00.000Z", "2026-12-02T07:05:00.000Z", true,
                                 Step("Tools.1", "success", "0"))));
  runs.push_back(
      Read("PC-2-20261201T070000Z.json",
           ResultJson("2026-12-01T07:00:00.000Z", "2026-12-01T07:05:00.000Z", true,
                      Step("Tools.1", "error", "1603") + "," + Step("Tools.2", "error", "null"))));
  runs.push_back(Read("PC-3-20261201T070000Z.json",
                      ResultJson("2026-12-01T07:00:00.000Z", "2026-12-01T07:05:00.000Z", true,
                                 Step("Tools.1", "error", "2"))));
  const Fleet fleet = GatherFleet(std::move(runs), {{"z.json", "not JSON"}, {"a.json", "x"}});

  ASSERT_EQ(fleet.machines.size(), 3u);
  EXPECT_EQ(fleet.machines[0].computer, "PC-1") << "one machine whatever the case of its name";
  EXPECT_EQ(fleet.machines[0].runs.size(), 2u);
  EXPECT_EQ(fleet.machines[0].latest().file, "pc-1-20261202T070000Z.json");
  ASSERT_EQ(fleet.failures.size(), 2u);
  EXPECT_EQ(fleet.failures[0].key, "Tools.1");
  using Machines = std::vector<std::pair<std::string, std::optional<int64_t>>>;
  EXPECT_EQ(fleet.failures[0].machines, (Machines{{"PC-2", 1603}, {"PC-3", 2}}))
      << "PC-1's earlier failure is behind it";
  EXPECT_EQ(fleet.failures[1].machines, (Machines{{"PC-2", std::nullopt}}));
  ASSERT_EQ(fleet.unreadable.size(), 2u);
  EXPECT_EQ(fleet.unreadable[0].file, "a.json");
}

TEST(FleetResults, AFolderIsReadFlatAndItsBrokenFilesAreListed) {
  const auto folder =
      std::filesystem::temp_directory_path() /
      ("tarn-fleet-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder / "older");
  const auto put = [&](const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
  };
  put(folder / "PC-1-20261201T070000Z.json", ResultJson("2026-12-01T07:00:00.000Z", "", false, ""));
  put(folder / "PC-1-20261201T070000Z.log", "a log");
  put(folder / "PC-2-20261201T070000Z.json", "{ cut off");
  put(folder / "PC-3-20261201T070000Z.json.1796109222005-0.tmp", "{}");
  put(folder / "older" / "PC-4-20261201T070000Z.json",
      ResultJson("2026-12-01T07:00:00.000Z", "", false, ""));
  const auto fleet = ReadFleet(folder);
  std::filesystem::remove_all(folder);
  ASSERT_TRUE(fleet);
  ASSERT_EQ(fleet->machines.size(), 1u);
  EXPECT_EQ(fleet->machines[0].computer, "PC-1");
  ASSERT_EQ(fleet->unreadable.size(), 1u);
  EXPECT_EQ(fleet->unreadable[0].file, "PC-2-20261201T070000Z.json");
  EXPECT_FALSE(ReadFleet(folder));
}

}  // namespace
}  // namespace tarn::report
