// Loading generated catalogues of 1,000 and 10,000 items: once through the
// one-pass reader (the file read and parsed once) and once key by key through
// the profile-file interface, on the simulated machine. With --peak-memory
// the program instead loads the 10,000-item catalogue once in one pass and
// prints the process's peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstring>
#include <span>

#include "catalogue/catalogue_loader.h"
#include "catalogue/plan_view.h"
#include "catalogue_load_workload.h"
#include "platform/sim/machine.h"
#include "platform/sim/sim_profile_files.h"

namespace {

using namespace tarn;

constexpr TextView kIniPath = u"C:\\setup\\install.ini";

struct Fixture {
  explicit Fixture(int items) : profiles(machine.files()) {
    const std::string ini = bench::GenerateCatalogue(items);
    (void)machine.files().PutTextFile(kIniPath, ini);
    platform = machine.platform();
    if (!platform.profiles) platform.profiles = &profiles;
  }
  sim::Machine machine;
  sim::SimProfileFiles profiles;
  platform::Platform platform;
};

void OnePass(benchmark::State& state) {
  Fixture fixture(static_cast<int>(state.range(0)));
  size_t entries = 0;
  for (auto _ : state) {
    catalogue::SoftwareCatalogue catalogue;
    catalogue::LoadCatalogueFile(fixture.platform, kIniPath, {}, catalogue);
    entries = catalogue.EntryCount();
    benchmark::DoNotOptimize(catalogue.FirstEntry());
  }
  state.counters["entries"] = static_cast<double>(entries);
}

void KeyByKey(benchmark::State& state) {
  Fixture fixture(static_cast<int>(state.range(0)));
  size_t entries = 0;
  for (auto _ : state) {
    catalogue::SoftwareCatalogue catalogue;
    catalogue::LoadCatalogueKeyByKey(fixture.platform, kIniPath, {}, catalogue);
    entries = catalogue.EntryCount();
    benchmark::DoNotOptimize(catalogue.FirstEntry());
  }
  state.counters["entries"] = static_cast<double>(entries);
}

BENCHMARK(OnePass)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(KeyByKey)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(KeyByKey)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(1);

// Both readers must give the same catalogue, or the comparison means nothing.
bool SameCatalogue(int items) {
  Fixture fixture(items);
  catalogue::SoftwareCatalogue onePass;
  catalogue::SoftwareCatalogue keyByKey;
  catalogue::LoadCatalogueFile(fixture.platform, kIniPath, {}, onePass);
  catalogue::LoadCatalogueKeyByKey(fixture.platform, kIniPath, {}, keyByKey);
  auto& environment = *fixture.platform.environment;
  return onePass.EntryCount() > 0 &&
         catalogue::PlanText(onePass, environment) == catalogue::PlanText(keyByKey, environment);
}

int PeakMemory() {
  Fixture fixture(10000);
  catalogue::SoftwareCatalogue catalogue;
  catalogue::LoadCatalogueFile(fixture.platform, kIniPath, {}, catalogue);
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("entries %zu, peak resident memory %ld KiB\n", catalogue.EntryCount(),
              usage.ru_maxrss);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--peak-memory") == 0) return PeakMemory();
  }
  if (!SameCatalogue(1000)) {
    std::fprintf(stderr, "the one-pass and key-by-key loads differ\n");
    return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
