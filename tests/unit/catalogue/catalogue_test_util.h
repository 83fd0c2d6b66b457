// Helpers shared by the catalogue tests: loading an INI text and finding
// entries by their description.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"
#include "catalogue/catalogue_loader.h"
#include "catalogue/software_catalogue.h"
#include "unit/catalogue/catalogue_fake_source.h"

namespace tarn::catalogue::testing {

// Every test of every item is true unless a test string starts with "false".
inline bool FakeTest(TextView test) {
  return !StartsWithIgnoreCase(test, u"false");
}

inline SoftwareCatalogue LoadText(std::string_view ini, bool hasGaps = false,
                                  TestEvaluator tests = FakeTest) {
  FakeIniSource source(ini);
  SoftwareCatalogue catalogue;
  LoadCatalogue(source, tests, LoadOptions{hasGaps}, catalogue);
  return catalogue;
}

inline std::vector<SoftwareEntry*> Entries(const SoftwareCatalogue& catalogue) {
  std::vector<SoftwareEntry*> all;
  for (SoftwareEntry* e = catalogue.FirstEntry(); e; e = e->Next) all.push_back(e);
  return all;
}

inline std::vector<std::string> Descriptions(const std::vector<SoftwareEntry*>& entries) {
  std::vector<std::string> out;
  for (const SoftwareEntry* e : entries) out.push_back(ToUtf8(e->Description));
  return out;
}

// The entry with that description; nullptr when there is none.
inline SoftwareEntry* Find(const SoftwareCatalogue& catalogue, std::string_view description) {
  const Text wanted = FromUtf8(description);
  for (SoftwareEntry* e = catalogue.FirstEntry(); e; e = e->Next) {
    if (e->Description == wanted) return e;
  }
  return nullptr;
}

inline std::string Hex(uint32_t value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "0x%X", value);
  return buffer;
}

}  // namespace tarn::catalogue::testing
