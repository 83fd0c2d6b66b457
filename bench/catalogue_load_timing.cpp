// Timed comparison of the two ways of loading the catalogue, for the Windows
// build where Google Benchmark is not available: the one-pass load (the file
// read once and parsed into a profile document) against the key-by-key load
// through the system's GetPrivateProfileStringW, on generated catalogues of
// 1,000 and 10,000 items. Run it under Wine or Windows; it prints one line
// per measurement with the median wall-clock time.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <span>
#include <vector>

#include "catalogue/catalogue_loader.h"
#include "catalogue/plan_view.h"
#include "catalogue_load_workload.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_profile_files.h"

namespace {

using namespace tarn;

double MedianMilliseconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    const std::chrono::duration<double, std::milli> elapsed =
        std::chrono::steady_clock::now() - start;
    times.push_back(elapsed.count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// Loads once and returns the plan text, so both ways can be compared.
using Load = std::function<catalogue::SoftwareCatalogue()>;

struct Measure {
  double milliseconds = 0;
  std::string plan;
  size_t entries = 0;
};

Measure Time(int runs, const Load& load, platform::Environment& environment) {
  Measure m;
  m.milliseconds = MedianMilliseconds(runs, [&] {
    const catalogue::SoftwareCatalogue catalogue = load();
    m.entries = catalogue.EntryCount();
    m.plan = catalogue::PlanText(catalogue, environment);
  });
  return m;
}

void Report(const char* what, int items, const Measure& onePass, const Measure& keyByKey) {
  std::printf(
      "%-14s items %5d  entries %5zu  one-pass %9.1f ms  key-by-key %10.1f ms  ratio %6.1f  %s\n",
      what, items, onePass.entries, onePass.milliseconds, keyByKey.milliseconds,
      keyByKey.milliseconds / onePass.milliseconds,
      onePass.plan == keyByKey.plan ? "same catalogue" : "CATALOGUES DIFFER");
  std::fflush(stdout);
}

// Every test gives the same answer, so only the reading of the file is timed.
bool NoTest(TextView) {
  return true;
}

}  // namespace

int main() {
  win32::Win32Platform system;
  win32::Win32ProfileFiles profiles;
  platform::Platform platform = system.platform();
  if (!platform.profiles) platform.profiles = &profiles;
  platform::Environment& environment = *platform.environment;
  const Text folder = environment.Get(u"TEMP").value_or(u"C:\\");
  const Text path = folder + u"\\tarn_catalogue_timing.ini";

  for (const int items : {1000, 10000}) {
    const std::string ini = bench::GenerateCatalogue(items);
    const auto* bytes = reinterpret_cast<const uint8_t*>(ini.data());
    if (platform.files->WriteAll(path, std::span<const uint8_t>(bytes, ini.size())) != 0) {
      std::printf("cannot write the catalogue file\n");
      return 1;
    }
    const int runs = items > 1000 ? 5 : 11;
    const Measure onePass = Time(
        runs,
        [&] {
          catalogue::SoftwareCatalogue catalogue;
          auto read = platform.files->ReadAll(path);
          if (!read) return catalogue;
          const auto document = platform::ProfileDocument::Parse(*read);
          catalogue::DocumentSource source(document);
          catalogue::LoadCatalogue(source, NoTest, {}, catalogue);
          return catalogue;
        },
        environment);
    const Measure keyByKey = Time(
        items > 1000 ? 1 : 3,
        [&] {
          catalogue::SoftwareCatalogue catalogue;
          catalogue::ProfileFilesSource source(*platform.profiles, path);
          catalogue::LoadCatalogue(source, NoTest, {}, catalogue);
          return catalogue;
        },
        environment);
    Report("reading only", items, onePass, keyByKey);
  }
  // With the machine's own tests (two per item: a file and a registry
  // value), which cost the same on both ways.
  {
    const std::string ini = bench::GenerateCatalogue(1000);
    const auto* bytes = reinterpret_cast<const uint8_t*>(ini.data());
    (void)platform.files->WriteAll(path, std::span<const uint8_t>(bytes, ini.size()));
    const Measure onePass = Time(
        3,
        [&] {
          catalogue::SoftwareCatalogue catalogue;
          catalogue::LoadCatalogueFile(platform, path, {}, catalogue);
          return catalogue;
        },
        environment);
    const Measure keyByKey = Time(
        1,
        [&] {
          catalogue::SoftwareCatalogue catalogue;
          catalogue::LoadCatalogueKeyByKey(platform, path, {}, catalogue);
          return catalogue;
        },
        environment);
    Report("with tests", 1000, onePass, keyByKey);
  }
  (void)platform.files->DeleteFile(path);
  return 0;
}
