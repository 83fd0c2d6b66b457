#include "catalogue/catalogue_loader.h"

#include <optional>

#include "catalogue/installation_tests.h"
#include "platform/file_system.h"
#include "platform/profile_document.h"

namespace tarn::catalogue {

TestEvaluator MachineTests(const platform::Platform& platform) {
  return [&platform](TextView test) { return EvaluateTest(platform, test); };
}

void LoadCatalogueFile(const platform::Platform& platform, TextView path,
                       const LoadOptions& options, SoftwareCatalogue& catalogue) {
  if (!platform.files) return;
  std::optional<platform::ProfileDocument> parsed;
  {
    // The file's bytes are released before the catalogue grows.
    auto bytes = platform.files->ReadAll(path);
    if (!bytes) return;
    parsed = platform::ProfileDocument::Parse(*bytes);
  }
  const platform::ProfileDocument& document = *parsed;
  DocumentSource source(document);
  LoadCatalogue(source, MachineTests(platform), options, catalogue);
}

void LoadCatalogueKeyByKey(const platform::Platform& platform, TextView path,
                           const LoadOptions& options, SoftwareCatalogue& catalogue) {
  if (!platform.profiles) return;
  ProfileFilesSource source(*platform.profiles, path);
  LoadCatalogue(source, MachineTests(platform), options, catalogue);
}

}  // namespace tarn::catalogue
