#include "run/run_environment.h"

#include "platform/user_profiles.h"

namespace tarn::run {

bool RunEnvironment::Enter(const accounts::UserAccount& primary) {
  const platform::Platform& platform = context_.services.platform;
  if (!previous_) {
    auto block = platform.userProfiles->CreateEnvironmentBlock(true);
    if (block) {
      auto previous = platform.environment->ReplaceBlock(*block);
      if (previous) previous_ = std::move(*previous);
    }
  }
  SetAccountVariables(context_, primary, false);
  return previous_.has_value();
}

void RunEnvironment::Leave() {
  if (!previous_) return;
  platform::Environment* environment = context_.services.platform.environment;
  if (environment != nullptr) (void)environment->ReplaceBlock(*previous_);
  previous_.reset();
}

void RunEnvironment::SetLoggedOnUser() {
  SetLoggedOnUserVariables(context_);
}

}  // namespace tarn::run
