#include "catalogue/plan_file.h"

#include <span>
#include <string>

#include "app/startup_variables.h"
#include "catalogue/plan_view.h"
#include "platform/file_system.h"

namespace tarn::catalogue {

WinError WritePlanFile(const platform::Platform& platform, TextView iniPath,
                       const LoadOptions& options, TextView outPath,
                       const CommandLineResolver& resolveCommand) {
  if (!platform.files || !platform.environment) return kErrorInvalidParameter;
  SoftwareCatalogue catalogue;
  LoadCatalogueFile(platform, iniPath, options, catalogue);
  // Relative working folders read as the launch resolves them: against the
  // program's folder.
  const Text programFolder = platform.system ? app::ProgramFolder(*platform.system) : Text();
  const std::string text =
      PlanText(catalogue, *platform.environment, programFolder, resolveCommand);
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  return platform.files->WriteAll(outPath, std::span<const uint8_t>(bytes, text.size()));
}

}  // namespace tarn::catalogue
