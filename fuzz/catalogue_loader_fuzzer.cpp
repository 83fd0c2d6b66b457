// Hostile configuration files for the catalogue loader: any bytes are parsed
// once and loaded; the chain must stay a well-formed pre-order tree with only
// the documented states, and rows and the run order must be computable.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "catalogue/catalogue_loader.h"
#include "catalogue/catalogue_rows.h"
#include "catalogue/plan_view.h"
#include "platform/profile_document.h"
#include "platform/sim/sim_environment.h"

namespace {

using namespace tarn;
using namespace tarn::catalogue;

// Tests depend only on the test string, so runs are reproducible.
bool FakeTest(TextView test) {
  return test.size() % 2 == 0;
}

void CheckChain(const SoftwareCatalogue& catalogue) {
  uint32_t previousLevel = 0;
  size_t count = 0;
  for (const SoftwareEntry* e = catalogue.FirstEntry(); e; e = e->Next) {
    ++count;
    if (count == 1 ? e->Level != 0 : e->Level > previousLevel + 1) std::abort();
    const int32_t selection = e->State & ~ES_DIMMED;
    if (selection != 0 && selection != kStateSelected && selection != kStateMixed) std::abort();
    if (e->Description.size() > (e->Level == 0 ? SIZE_MAX : kItemDescriptionCapacity)) {
      std::abort();
    }
    if (e->Command && e->Command->size() > kItemValueCapacity) std::abort();
    previousLevel = e->Level;
  }
  if (count != catalogue.EntryCount()) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool hasGaps = size > 0 && (data[0] & 1) != 0;
  const auto document = platform::ProfileDocument::Parse(std::span<const uint8_t>(data, size));
  DocumentSource source(document);
  SoftwareCatalogue catalogue;
  LoadCatalogue(source, FakeTest, LoadOptions{hasGaps}, catalogue);
  CheckChain(catalogue);
  const auto rows = InitialRows(catalogue);
  if (rows.size() > catalogue.EntryCount()) std::abort();
  sim::SimEnvironment environment;
  (void)environment.Set(u"X", TextView(u"%X%%X%"));
  const std::string text = PlanText(catalogue, environment);
  if (text.empty()) std::abort();
  return 0;
}
