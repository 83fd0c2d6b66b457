#include "catalogue/catalogue_loader.h"

#include <optional>
#include <utility>
#include <vector>

#include "base/wipe.h"
#include "catalogue/installation_tests.h"
#include "platform/file_system.h"
#include "platform/profile_document.h"
#include "platform/system_info.h"
#include "platform/version_resource_cache.h"

namespace tarn::catalogue {

TestEvaluator MachineTests(const platform::Platform& platform) {
  return [&platform](TextView test) { return EvaluateTest(platform, test); };
}

namespace {

// Items often test one program several times (its version, its company
// name, in several items), and reading a version resource costs more than
// any other test; each file's resource is read once per load. The answers
// go with the load, so the next load sees files changed in between.
void LoadWithMachineTests(const platform::Platform& platform, CatalogueSource& source,
                          const LoadOptions& options, SoftwareCatalogue& catalogue) {
  platform::Platform machine = platform;
  platform::VersionResourceCache versions(*platform.versions);
  machine.versions = &versions;
  LoadCatalogue(source, MachineTests(machine), options, catalogue);
}

}  // namespace

void LoadCatalogueBytes(const platform::Platform& platform, std::vector<uint8_t> bytes,
                        const LoadOptions& options, SoftwareCatalogue& catalogue) {
  // The profile functions read the other sections of the same file in the
  // system's code page; the catalogue must read its sections alike.
  const uint32_t codePage =
      platform.system ? platform.system->AnsiCodePage() : platform::kCodePageWindows1252;
  const platform::ProfileDocument document = platform::ProfileDocument::Parse(bytes, codePage);
  // The file's passwords stay only in the parsed document, which wipes them.
  SecureZero(bytes.data(), bytes.size());
  std::vector<uint8_t>().swap(bytes);
  DocumentSource source(document);
  LoadWithMachineTests(platform, source, options, catalogue);
}

void LoadCatalogueFile(const platform::Platform& platform, TextView path,
                       const LoadOptions& options, SoftwareCatalogue& catalogue) {
  if (!platform.files) return;
  auto bytes = platform.files->ReadAll(path);
  if (!bytes) return;
  LoadCatalogueBytes(platform, std::move(*bytes), options, catalogue);
}

void LoadCatalogueKeyByKey(const platform::Platform& platform, TextView path,
                           const LoadOptions& options, SoftwareCatalogue& catalogue) {
  if (!platform.profiles) return;
  ProfileFilesSource source(*platform.profiles, path);
  LoadWithMachineTests(platform, source, options, catalogue);
}

}  // namespace tarn::catalogue
