// Version tests against size tests on the same 3 MB program file, on the
// simulated machine: the file once in the machine's memory (drive C:) and
// once as a real file in a mounted host folder (drive D:), and a catalogue
// whose items test that one program again and again.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "catalogue/catalogue_loader.h"
#include "catalogue/installation_tests.h"
#include "platform/sim/machine.h"
#include "support/pe_image_builder.h"

namespace {

using namespace tarn;
namespace fs = std::filesystem;

constexpr uint32_t kProgramBytes = 3 * 1024 * 1024;
constexpr int kCatalogueItems = 20;

std::vector<uint8_t> ProgramImage() {
  return testing::BuildPeImage(testing::BuildVersionBlock(testing::SampleVersionSpec()),
                               {.bytesBeforeResources = kProgramBytes});
}

// A catalogue of items that all test the one program twice.
std::string CatalogueText(const std::string& program, const std::string& first,
                          const std::string& second) {
  std::string ini = "[Tools]\ndescription=Tools\n";
  for (int i = 0; i < kCatalogueItems; ++i) {
    const std::string n = "." + std::to_string(i);
    ini += "command" + n + "=setup" + std::to_string(i) + ".exe /q\n";
    ini += "description" + n + "=Package " + std::to_string(i) + "\n";
    ini += "test" + n + ".0=" + program + first + "\n";
    ini += "test" + n + ".1=" + program + second + "\n";
    ini += "test.eval" + n + "=0&1\n";
  }
  return ini;
}

class Fixture {
 public:
  Fixture()
      : host_(fs::temp_directory_path() / ("tarn_version_bench_" + std::to_string(getpid()))) {
    const std::vector<uint8_t> image = ProgramImage();
    (void)machine_.files().PutFile(u"C:\\Program Files\\App\\app.exe", image);
    fs::create_directories(host_ / "App");
    std::ofstream out(host_ / "App" / "app.exe", std::ios::binary);
    out.write(reinterpret_cast<const char*>(image.data()),
              static_cast<std::streamsize>(image.size()));
    out.close();
    machine_.files().MountHostFolder(u"D:", host_);
    platform_ = machine_.platform();
  }
  ~Fixture() {
    std::error_code ec;
    fs::remove_all(host_, ec);
  }
  Fixture(const Fixture&) = delete;
  Fixture& operator=(const Fixture&) = delete;

  [[nodiscard]] const platform::Platform& platform() const { return platform_; }

 private:
  fs::path host_;
  sim::Machine machine_;
  platform::Platform platform_;
};

Fixture& Shared() {
  static Fixture fixture;
  return fixture;
}

const char* const kPrograms[] = {"C:\\Program Files\\App\\app.exe", "D:\\App\\app.exe"};
const char* const kVolumes[] = {"memory", "host"};

void OneTest(benchmark::State& state, const char* program, const char* test, bool expected) {
  const platform::Platform& platform = Shared().platform();
  const Text text = FromUtf8(std::string(program) + test);
  if (catalogue::EvaluateTest(platform, text) != expected) {
    state.SkipWithError("the test gave the wrong answer");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(catalogue::EvaluateTest(platform, text));
}

void CatalogueLoad(benchmark::State& state, const char* program, const char* first,
                   const char* second) {
  const platform::Platform& platform = Shared().platform();
  const std::string ini = CatalogueText(program, first, second);
  size_t entries = 0;
  for (auto _ : state) {
    catalogue::SoftwareCatalogue catalogue;
    catalogue::LoadCatalogueBytes(platform, {ini.begin(), ini.end()}, {}, catalogue);
    entries = catalogue.EntryCount();
  }
  state.counters["entries"] = static_cast<double>(entries);
}

void Register() {
  for (int v = 0; v < 2; ++v) {
    const std::string volume = kVolumes[v];
    const char* program = kPrograms[v];
    benchmark::RegisterBenchmark(("SizeTest/" + volume).c_str(), OneTest, program, "?size>1000",
                                 true)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("FileVersionTest/" + volume).c_str(), OneTest, program,
                                 "?fileversion=1.2.3.4", true)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("VersionStringTest/" + volume).c_str(), OneTest, program,
                                 "?version.CompanyName=Example Ltd", true)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("CatalogueOfSizeTests/" + volume).c_str(), CatalogueLoad, program,
                                 "?size>1000", "?size<99999999")
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("CatalogueOfVersionTests/" + volume).c_str(), CatalogueLoad,
                                 program, "?fileversion<2.0", "?version.CompanyName=Example Ltd")
        ->Unit(benchmark::kMicrosecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Register();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
