#include "startup/configuration_plan.h"

#include <vector>

#include "accounts/users_section.h"
#include "app/install_config.h"
#include "app/startup_variables.h"
#include "base/paths.h"
#include "catalogue/catalogue_loader.h"
#include "catalogue/plan_file.h"
#include "catalogue/plan_view.h"
#include "platform/environment.h"
#include "platform/profile_snapshot.h"
#include "platform/system_info.h"
#include "run/account_plan.h"
#include "run/installation_variables.h"
#include "run/planned_command_lines.h"
#include "startup/settings.h"

namespace tarn::startup {
namespace {

// What the account worker would do to each account of the users section.
// The plan sets each account's variables as the run does; the environment
// is put back afterwards, so the software plan reads it as the start left it.
std::vector<run::PlannedAccount> PlanUsers(const accounts::AccountServices& services,
                                           const app::InstallConfig& config,
                                           accounts::AccountStore& store, TextView usersFile) {
  if (config.DefaultGroup) store.defaults.Group = *config.DefaultGroup;
  platform::Environment& environment = *services.platform.environment;
  const platform::EnvironmentBlock before = environment.CurrentBlock();
  (void)accounts::ReadUsersSection(services, usersFile, &store);
  auto plan = run::PlanAccounts(services, store.list);
  (void)environment.ReplaceBlock(before);
  return plan;
}

}  // namespace

std::string PlanConfiguration(const platform::Platform& platform, const PlanRequest& request) {
  app::InstallConfig config;
  app::PageHeaders headers;
  config.HasGaps = request.hasGaps;
  (void)platform.environment->Set(u"INIDIR", PathRemoveFileSpec(request.iniPath));
  {
    platform::ProfileSnapshot snapshot(*platform.profiles, *platform.files, request.iniPath,
                                       platform.system->AnsiCodePage());
    ReadSettings(snapshot, request.iniPath, config, headers);
  }
  // The wizard loads the catalogue before the environment section is set:
  // tests and conditional values see the machine's variables and %INIDIR%,
  // while the commands are expanded at launch, after the section.
  catalogue::SoftwareCatalogue catalogue;
  catalogue::LoadCatalogueFile(platform, request.iniPath, {config.HasGaps}, catalogue);
  const accounts::AccountServices services{platform, {}};
  accounts::AccountStore store;
  run::LoadEnvironmentSection(run::VariableContext{services, &config, &store.defaults, nullptr},
                              request.iniPath);
  const auto accounts = PlanUsers(services, config, store, request.iniPath);

  const Text programFolder = app::ProgramFolder(*platform.system);
  const std::vector<TextView> secrets = {config.UserPwd.view(), config.AdminPwd.view()};
  const catalogue::CommandLineResolver launch = run::LaunchCommandLines(platform, secrets);
  std::string plan =
      request.json ? catalogue::PlanJson(catalogue, *platform.environment, programFolder, launch,
                                         "\"accounts\":" + run::AccountPlanJson(accounts))
                   : catalogue::PlanText(catalogue, *platform.environment, programFolder, launch) +
                         run::AccountPlanText(accounts);
  catalogue::MaskPlanSecrets(plan, secrets);
  return plan;
}

}  // namespace tarn::startup
