// What a click in the software list costs as the catalogue grows: catalogues
// of 1,000, 10,000 and 100,000 items in sections of 1,000 items each, every
// section collapsed but the last. Measured: toggling one item of the last
// section, toggling the whole last section, and expanding and collapsing
// the last section again while it holds 1,000 items. Goal: each costs the
// same whatever the size of the catalogue around it.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <optional>

#include "catalogue/software_catalogue.h"
#include "wizard/software_selection.h"

namespace tarn {
namespace {

constexpr int64_t kSectionItems = 1000;

// Sections of kSectionItems items, every other item selected, so each
// section starts mixed; all collapsed.
void Fill(catalogue::SoftwareCatalogue& catalogue, int64_t items) {
  for (int64_t i = 0; i < items; ++i) {
    const bool sectionStart = i % kSectionItems == 0;
    if (sectionStart) {
      catalogue::SoftwareEntry* section = catalogue.AllocEntry();
      section->Flags = catalogue::EF_NO_COMMAND | catalogue::EF_COLLAPSED;
      section->State = section->InitialState = section->SnapshotState = section->RememberedState =
          catalogue::kStateMixed;
    }
    catalogue::SoftwareEntry* item = catalogue.AllocEntry();
    item->Level = 1;
    item->Flags = catalogue::EF_COLLAPSED;
    item->State = item->InitialState = item->SnapshotState = item->RememberedState =
        i % 2 == 0 ? catalogue::kStateSelected : catalogue::kStateUnselected;
  }
}

struct Workload {
  catalogue::SoftwareCatalogue catalogue;
  std::optional<wizard::SoftwareSelection> selection;
  size_t lastSection = 0;  // the last section's row

  explicit Workload(int64_t items, bool expandLast) {
    Fill(catalogue, items);
    selection.emplace(catalogue);
    lastSection = selection->RowCount() - 1;
    if (expandLast) (void)selection->Expand(lastSection);
  }
};

void ToggleOneItem(benchmark::State& state) {
  Workload w(state.range(0), true);
  const size_t row = w.lastSection + 1 + kSectionItems / 2;
  for (auto _ : state) benchmark::DoNotOptimize(w.selection->Toggle(row));
}

void ToggleSection(benchmark::State& state) {
  Workload w(state.range(0), true);
  for (auto _ : state) benchmark::DoNotOptimize(w.selection->Toggle(w.lastSection));
}

void ExpandAndCollapseSection(benchmark::State& state) {
  Workload w(state.range(0), false);
  for (auto _ : state) {
    benchmark::DoNotOptimize(w.selection->Expand(w.lastSection));
    benchmark::DoNotOptimize(w.selection->Collapse(w.lastSection));
  }
  if (w.selection->RowCount() != w.lastSection + 1) state.SkipWithError("rows left over");
}

void CatalogueSizes(benchmark::internal::Benchmark* b) {
  b->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMicrosecond);
}

BENCHMARK(ToggleOneItem)->Apply(CatalogueSizes);
BENCHMARK(ToggleSection)->Apply(CatalogueSizes);
BENCHMARK(ExpandAndCollapseSection)->Apply(CatalogueSizes);

}  // namespace
}  // namespace tarn

BENCHMARK_MAIN();
