#include "catalogue/plan_file.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "app/startup_variables.h"
#include "catalogue/plan_view.h"
#include "platform/file_system.h"

namespace tarn::catalogue {
namespace {

void ReplaceAll(std::string& text, const std::string& search, std::string_view by) {
  if (search.empty()) return;
  for (size_t at = text.find(search); at != std::string::npos;
       at = text.find(search, at + by.size())) {
    text.replace(at, search.size(), by);
  }
}

}  // namespace

void MaskPlanSecrets(std::string& text, const std::vector<TextView>& secrets) {
  for (const TextView secret : secrets) {
    if (secret.empty()) continue;
    const std::string json = PlanJsonString(secret);
    ReplaceAll(text, json.substr(1, json.size() - 2), "********");
    ReplaceAll(text, PlanField(secret), "********");
  }
}

WinError WritePlanFile(const platform::Platform& platform, TextView iniPath,
                       const LoadOptions& options, TextView outPath,
                       const CommandLineResolver& resolveCommand,
                       const std::vector<TextView>& secrets) {
  if (!platform.files || !platform.environment) return kErrorInvalidParameter;
  SoftwareCatalogue catalogue;
  LoadCatalogueFile(platform, iniPath, options, catalogue);
  // Relative working folders read as the launch resolves them: against the
  // program's folder.
  const Text programFolder = platform.system ? app::ProgramFolder(*platform.system) : Text();
  std::string text = PlanText(catalogue, *platform.environment, programFolder, resolveCommand);
  MaskPlanSecrets(text, secrets);
  const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
  return platform.files->WriteAll(outPath, std::span<const uint8_t>(bytes, text.size()));
}

}  // namespace tarn::catalogue
