// The software page's Load menu without the menu: which configuration files
// it offers, what a chosen name stands for, and loading one so that the
// catalogue is replaced whole or not at all.
#pragma once

#include <vector>

#include "base/text.h"

namespace tarn {
struct AppContext;
}
namespace tarn::accounts {
struct AccountStore;
}
namespace tarn::catalogue {
class SoftwareCatalogue;
}
namespace tarn::platform {
class Environment;
class FileSystem;
}  // namespace tarn::platform

namespace tarn::wizard {

enum class LoadOutcome {
  kLoaded,
  kUnreadable,  // the file cannot be read (or its path is too long)
  kNoSoftware,  // the file has no software sections
};

// The names of the "*.ini" files (not folders) in `folder`, in the order
// the file system lists them.
[[nodiscard]] std::vector<Text> ConfigurationFiles(platform::FileSystem& files, TextView folder);

// The configuration a browsed or listed name stands for: variables
// expanded, a relative name taken from `programFolder`, canonicalised.
[[nodiscard]] Text ConfigurationPath(platform::Environment& environment, TextView name,
                                     TextView programFolder);

// Sets %ThisUser% and the other account variables to the account that will
// install: the primary account, or the logged-on user when there is none.
// Descriptions and help are shown with these values.
void SetInstallingAccountVariables(AppContext& app, accounts::AccountStore& store);

// Reads the catalogue of `path` aside; only when it has entries does it
// replace `catalogue`, and the configuration path, INIDIR and the
// variables of its environment section follow, the account variables set
// again after them (SetInstallingAccountVariables). Otherwise nothing
// changes. The settings and the account list read at start-up stay as they
// are.
[[nodiscard]] LoadOutcome LoadConfiguration(AppContext& app, accounts::AccountStore& store,
                                            TextView path, catalogue::SoftwareCatalogue& catalogue);

}  // namespace tarn::wizard
