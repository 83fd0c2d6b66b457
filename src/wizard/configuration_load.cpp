#include "wizard/configuration_load.h"

#include "app/app_context.h"
#include "app/startup_variables.h"
#include "base/paths.h"
#include "catalogue/catalogue_loader.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "run/installation_variables.h"
#include "startup/account_steps.h"

namespace tarn::wizard {

namespace {

constexpr uint32_t kPathCapacity = 260;

bool IsIniName(TextView name) {
  constexpr TextView kExtension = u".ini";
  return name.size() > kExtension.size() &&
         EqualsIgnoreCase(name.substr(name.size() - kExtension.size()), kExtension);
}

}  // namespace

std::vector<Text> ConfigurationFiles(platform::FileSystem& files, TextView folder) {
  std::vector<Text> names;
  Result<std::vector<platform::DirectoryEntry>> listed = files.ListDirectory(folder);
  if (!listed.ok()) return names;
  for (const platform::DirectoryEntry& entry : *listed) {
    if ((entry.info.attributes & platform::kFileAttributeDirectory) == 0 && IsIniName(entry.name)) {
      names.push_back(entry.name);
    }
  }
  return names;
}

Text ConfigurationPath(platform::Environment& environment, TextView name, TextView programFolder) {
  return app::MakeAbsoluteToProgram(ExpandWhole(environment, name), programFolder);
}

void SetInstallingAccountVariables(AppContext& app, accounts::AccountStore& store) {
  const run::VariableContext variables = startup::VariablesOf(app, store);
  if (const accounts::UserAccount* primary = store.list.FindPrimary()) {
    (void)run::SetAccountVariables(variables, *primary, false);
  } else {
    run::SetLoggedOnUserVariables(variables);
  }
}

LoadOutcome LoadConfiguration(AppContext& app, accounts::AccountStore& store, TextView path,
                              catalogue::SoftwareCatalogue& catalogue) {
  // The configuration path has a fixed field; a longer one would be cut
  // into another file's name.
  if (path.empty() || path.size() >= kPathCapacity) return LoadOutcome::kUnreadable;
  Result<std::vector<uint8_t>> bytes = app.platform.files->ReadAll(path);
  if (!bytes.ok()) return LoadOutcome::kUnreadable;
  catalogue::SoftwareCatalogue loaded;
  catalogue::LoadCatalogueBytes(app.platform, std::move(*bytes), {app.config.HasGaps}, loaded);
  if (loaded.empty()) return LoadOutcome::kNoSoftware;
  app.config.IniPath = path;
  (void)app.platform.environment->Set(u"INIDIR", PathRemoveFileSpec(path));
  run::LoadEnvironmentSection(startup::VariablesOf(app, store), path);
  // The section starts from no account variables: the rows shown from now
  // on still name the installing account.
  SetInstallingAccountVariables(app, store);
  catalogue = std::move(loaded);
  return LoadOutcome::kLoaded;
}

}  // namespace tarn::wizard
