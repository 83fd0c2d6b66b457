// Checking a large configuration: ten sections of about a thousand items, as
// an administrator checks a fleet's file before it goes out. Every command
// is split to find the program it names.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "startup/configuration_check.h"
#include "support/large_catalogue.h"

namespace {

using namespace tarn;

void BM_CheckLargeConfiguration(benchmark::State& state) {
  const std::string ini = testing::LargeCatalogueIni();
  const std::vector<uint8_t> bytes(ini.begin(), ini.end());
  startup::CheckInput input;
  input.file = u"install.ini";
  input.iniDir = u"C:\\cfg";
  input.fileExists = [](TextView) { return true; };
  for (auto _ : state) {
    const auto findings = startup::CheckConfiguration(bytes, input);
    benchmark::DoNotOptimize(findings.data());
  }
  state.counters["items"] = static_cast<double>(testing::kLargeCatalogueRows);
}
BENCHMARK(BM_CheckLargeConfiguration)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
