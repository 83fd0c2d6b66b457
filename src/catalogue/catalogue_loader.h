// Turns the software sections of a configuration file into the catalogue:
// section entries with their attributes, numbered items to any depth, their
// tests, conditional values, take-over of handed-down attributes and the
// aggregation of selections.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "base/text.h"
#include "catalogue/catalogue_source.h"
#include "catalogue/software_catalogue.h"
#include "platform/platform.h"

namespace tarn::catalogue {

struct LoadOptions {
  // Written {hasGaps} or {hasGaps, selection}, as the callers give them.
  LoadOptions(bool gaps = false, Text machineSelection = Text())
      : hasGaps(gaps), selection(std::move(machineSelection)) {}

  // Numbered items may skip indexes (the settings' HasGaps): a level then
  // ends only when no later index up to 254 has a command.
  bool hasGaps = false;
  // The name of a selection (the section "machines.<name>"): its keys, a
  // software section's name or "<section>.<index path>", with 1 or 0,
  // stand in for the entry's own `selected`. Empty for none.
  Text selection;
};

// Evaluates one test string of an item (test.P.N) against the computer.
using TestEvaluator = std::function<bool(TextView test)>;

// False for the sections other parts of the configuration own: names that
// begin with "environment", "machines" and "machines.<name>", and "users",
// "users.operation", "settings".
[[nodiscard]] bool IsSoftwareSection(TextView sectionName);

// Appends the entries of every software section of `source` to `catalogue`,
// in file order. Stops where an entry cannot be allocated; what was read
// stays.
void LoadCatalogue(CatalogueSource& source, const TestEvaluator& evaluateTest,
                   const LoadOptions& options, SoftwareCatalogue& catalogue);

// The tests of the machine behind `platform` (EvaluateTest).
[[nodiscard]] TestEvaluator MachineTests(const platform::Platform& platform);

// Parses `bytes` (the whole configuration file) into a profile document, an
// ANSI file in the code page of `platform.system` (Windows-1252 without
// one), and loads from that with the tests of `platform`. The bytes are
// released once parsed, before the catalogue grows. Each file's version
// resource is read at most once during the load.
void LoadCatalogueBytes(const platform::Platform& platform, std::vector<uint8_t> bytes,
                        const LoadOptions& options, SoftwareCatalogue& catalogue);

// Reads the file once (FileSystem::ReadAll) and loads it as LoadCatalogueBytes
// does. A file that cannot be read gives no entries.
void LoadCatalogueFile(const platform::Platform& platform, TextView path,
                       const LoadOptions& options, SoftwareCatalogue& catalogue);

// The same catalogue, read key by key through the profile functions. Slow on
// large files; kept to prove the one-pass reading and for comparisons.
void LoadCatalogueKeyByKey(const platform::Platform& platform, TextView path,
                           const LoadOptions& options, SoftwareCatalogue& catalogue);

}  // namespace tarn::catalogue
