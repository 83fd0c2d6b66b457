// The fleet view of a large report folder: 10,000 result files of 1,000
// machines (ten runs each, every run with twelve steps, one machine in ten
// with a failed entry, a few files broken), read, gathered and written as the
// page and the CSV, as tarn_report does. The goal is under 5 s natively.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "report/fleet_pages.h"
#include "report/fleet_results.h"

namespace {

namespace fs = std::filesystem;

constexpr int kMachines = 1000;
constexpr int kRunsPerMachine = 10;
constexpr int kStepsPerRun = 12;

std::string StepJson(int index, bool failed) {
  const std::string outcome = failed ? "error" : "success";
  const std::string code = failed ? "1603" : "0";
  return R"({"kind":"entry","key":"Tools.)" + std::to_string(index) + R"(","name":"Tool )" +
         std::to_string(index) + R"(","action":"command","exitCode":)" + code + R"(,"outcome":")" +
         outcome +
         R"(","started":"2026-12-01T07:13:42.005Z","durationMs":1250,"tries":1,)"
         R"("exitClass":"success","detectedBefore":null,"detectedAfter":null})";
}

std::string RunJson(const std::string& computer, int day, bool failed) {
  char started[32];
  (void)std::snprintf(started, sizeof started, "2026-11-%02dT07:00:00.000Z", day);
  std::string json = R"({"$schema":"urn:tarn:result-file:1","version":1,"program":"TARN",)"
                     R"("programVersion":"1.0.0","configuration":"C:\\deploy\\install.ini",)"
                     R"("computer":")" +
                     computer + R"(","started":")" + started +
                     R"(","ended":"2026-11-30T08:00:00.000Z","finished":true,"resumed":false,)"
                     R"("restartNeeded":false,"restartStarted":false,"restarts":0,)"
                     R"("exitCode":0,"warnings":[],"steps":[)";
  for (int step = 0; step < kStepsPerRun; ++step) {
    if (step > 0) json += ',';
    json += StepJson(step, failed && step == 7);
  }
  return json + "]}";
}

// The folder, made once per process.
const fs::path& ReportFolder() {
  static const fs::path folder = [] {
    const fs::path made = fs::temp_directory_path() / "tarn-fleet-bench";
    fs::remove_all(made);
    fs::create_directories(made);
    for (int machine = 0; machine < kMachines; ++machine) {
      const std::string computer = "PC-" + std::to_string(1000 + machine);
      for (int run = 0; run < kRunsPerMachine; ++run) {
        char name[64];
        (void)std::snprintf(name, sizeof name, "%s-202611%02dT070000Z.json", computer.c_str(),
                            run + 1);
        std::ofstream(made / name, std::ios::binary)
            << (machine % 97 == 0 && run == 0 ? std::string("{ cut off")
                                              : RunJson(computer, run + 1, machine % 10 == 0));
      }
    }
    return made;
  }();
  return folder;
}

void BM_FleetReportOfTenThousandFiles(benchmark::State& state) {
  const fs::path& folder = ReportFolder();
  size_t bytes = 0;
  for (auto _ : state) {
    const auto fleet = tarn::report::ReadFleet(folder);
    if (!fleet || fleet->machines.size() != kMachines) {
      state.SkipWithError("the folder was not read whole");
      return;
    }
    const std::string html = tarn::report::FleetHtml(*fleet);
    const std::string csv = tarn::report::FleetCsv(*fleet);
    bytes = html.size() + csv.size();
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["files"] = kMachines * kRunsPerMachine;
  state.counters["output_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_FleetReportOfTenThousandFiles)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
