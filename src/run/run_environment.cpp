#include "run/run_environment.h"

#include "app/app_context.h"
#include "base/wipe.h"
#include "platform/environment_block.h"
#include "platform/services.h"
#include "platform/user_profiles.h"

namespace tarn::run {

Result<platform::EnvironmentBlock> AccountCommandBlock(AppContext& app,
                                                       const platform::LogonCredentials& logon) {
  auto own = [&app, &logon] {
    // Loading the account's profile for its environment needs them.
    const platform::PrivilegeScope privileges(*app.platform.services,
                                              platform::HiveLoadingPrivileges());
    return app.platform.processes->LogonEnvironment(logon);
  }();
  if (!own) return own;
  platform::EnvironmentBlock block = platform::OverlayProgramVariables(
      *own, app.startEnvironment, app.platform.environment->CurrentBlock());
  WipeText(*own);
  return block;
}

bool RunEnvironment::Enter(const accounts::UserAccount& primary) {
  const platform::Platform& platform = context_.services.platform;
  if (!previous_) {
    auto block = platform.userProfiles->CreateEnvironmentBlock(true);
    WinError error = block.error();
    if (block) {
      auto previous = platform.environment->ReplaceBlock(*block);
      if (previous) previous_ = std::move(*previous);
      error = previous.error();
    }
    // Commands then get the program's own environment with the variables.
    Warn(error, u"The run's environment block can't be made");
  }
  SetAccountVariables(context_, primary, false);
  return previous_.has_value();
}

void RunEnvironment::Leave() {
  if (!previous_) return;
  platform::Environment* environment = context_.services.platform.environment;
  if (environment != nullptr) {
    Warn(environment->ReplaceBlock(*previous_).error(),
         u"The program's environment can't be made current again");
  }
  previous_.reset();
}

void RunEnvironment::Warn(WinError error, TextView what) {
  if (error == kErrorSuccess || context_.log == nullptr) return;
  context_.log->Write(what, app::kLogWarning, static_cast<int32_t>(error));
}

void RunEnvironment::SetLoggedOnUser() {
  SetLoggedOnUserVariables(context_);
}

}  // namespace tarn::run
