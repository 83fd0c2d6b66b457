#include "startup/single_instance.h"

#include "app/app_context.h"

namespace tarn::startup {

bool NeedsInstanceLock(const CommandLineOutcome& options) {
  switch (options.action) {
    case CommandLineOutcome::Action::kShowHelp:
    case CommandLineOutcome::Action::kShowVersion:
    case CommandLineOutcome::Action::kCheck:
      return false;
    case CommandLineOutcome::Action::kDowngrade:
      return true;
    case CommandLineOutcome::Action::kContinue:
      break;
  }
  return !options.encryptIni && !options.decryptIni && options.planFile.empty();
}

InstanceClaim TakeInstanceLock(AppContext& app) {
  auto taken = app.platform.processes->TakeMachineLock(kInstanceLockName);
  InstanceClaim claim;
  if (taken) {
    claim.lock = std::move(*taken);
    return claim;
  }
  claim.refused = taken.error() == kErrorAlreadyExists || taken.error() == kErrorAccessDenied;
  return claim;
}

void LogRefusedStart(AppContext& app, TextView logPath) {
  if (!logPath.empty()) app.log.Open(Text(logPath) + kRefusedLogSuffix);
  app.log.Write(app.translator.Translate(kTextAlreadyRunning), app::kLogError,
                static_cast<int32_t>(kExitAlreadyRunning));
  app.log.Close();
}

}  // namespace tarn::startup
