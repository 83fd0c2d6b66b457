// Writing the plan view of a configuration file to a file, for the
// program's "/plan=" option: the catalogue as the software page would load it
// and the commands the run would start with that selection, in text form.
#pragma once

#include <string>
#include <vector>

#include "base/result.h"
#include "base/text.h"
#include "catalogue/catalogue_loader.h"
#include "catalogue/plan_view.h"
#include "platform/platform.h"

namespace tarn::catalogue {

// Loads `iniPath` (tests evaluated on this machine) and writes PlanText as
// UTF-8 to `outPath`, commands shown through `resolveCommand`, every form of
// each of `secrets` in the text (as written, as a JSON string's content)
// shown as "********". Returns the error of the write; a configuration file
// that cannot be read gives the plan of an empty catalogue.
[[nodiscard]] WinError WritePlanFile(const platform::Platform& platform, TextView iniPath,
                                     const LoadOptions& options, TextView outPath,
                                     const CommandLineResolver& resolveCommand = {},
                                     const std::vector<TextView>& secrets = {});

// Every form of each non-empty secret in a plan (as written, as a JSON
// string's content) replaced by "********": a plan is handed around more
// freely than the configuration, and a password written into a command must
// not travel with it.
void MaskPlanSecrets(std::string& text, const std::vector<TextView>& secrets);

}  // namespace tarn::catalogue
