#include "catalogue/plan_file.h"

#include <span>
#include <string>

#include "catalogue/plan_view.h"
#include "platform/file_system.h"

namespace tarn::catalogue {

WinError WritePlanFile(const platform::Platform& platform, TextView iniPath,
                       const LoadOptions& options, TextView outPath) {
  if (!platform.files || !platform.environment) return kErrorInvalidParameter;
  SoftwareCatalogue catalogue;
  LoadCatalogueFile(platform, iniPath, options, catalogue);
  const std::string text = PlanText(catalogue, *platform.environment);
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  return platform.files->WriteAll(outPath, std::span<const uint8_t>(bytes, text.size()));
}

}  // namespace tarn::catalogue
