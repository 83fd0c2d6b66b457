// Reading a large catalogue file through ProfileDocument: one parse, then
// many lookups by section and key, as the catalogue loader does.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "platform/profile_document.h"
#include "support/text_helpers.h"

namespace {

using namespace tarn;
using namespace tarn::platform;
using tarn::testing::T;

constexpr int kKeysPerSection = 30;

std::vector<uint8_t> CatalogueFile(int sections) {
  std::string text = "[settings]\r\nComputer=PC\r\n";
  for (int s = 0; s < sections; ++s) {
    text += "[Package " + std::to_string(s) + "]\r\ndescription = Package " + std::to_string(s) +
            "\r\n";
    for (int k = 0; k < kKeysPerSection; ++k) {
      text += "command." + std::to_string(k) + "=\"C:\\Setup\\setup" + std::to_string(k) +
              ".exe\" /quiet\r\n";
    }
  }
  return {text.begin(), text.end()};
}

void BM_Parse(benchmark::State& state) {
  const std::vector<uint8_t> bytes = CatalogueFile(static_cast<int>(state.range(0)));
  for (auto _ : state) benchmark::DoNotOptimize(ProfileDocument::Parse(bytes));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_Parse)->Arg(100)->Arg(2000);

void BM_FindEveryKey(benchmark::State& state) {
  const int sections = static_cast<int>(state.range(0));
  const ProfileDocument doc = ProfileDocument::Parse(CatalogueFile(sections));
  std::vector<Text> sectionNames;
  std::vector<Text> keys;
  for (int s = 0; s < sections; ++s) sectionNames.push_back(T("package " + std::to_string(s)));
  for (int k = 0; k <= kKeysPerSection; ++k) keys.push_back(T("COMMAND." + std::to_string(k)));
  for (auto _ : state) {
    for (const Text& section : sectionNames) {
      for (const Text& key : keys) benchmark::DoNotOptimize(doc.FindValue(section, key));
    }
  }
  state.SetItemsProcessed(state.iterations() * sections * (kKeysPerSection + 1));
}
BENCHMARK(BM_FindEveryKey)->Arg(100)->Arg(2000);

}  // namespace

BENCHMARK_MAIN();
