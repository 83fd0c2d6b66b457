#include "app/app_context.h"

#include <cstdlib>

namespace tarn {

AppContext::AppContext(const platform::Platform& services)
    : platform(services), log(services), translator(services) {
  // Every layer above relies on a complete set of services instead of
  // checking each pointer; a backend that forgets one is a programming error
  // found on the first start, not a crash deep inside a run.
  if (!services.IsComplete()) std::abort();
  startEnvironment = platform.environment->CurrentBlock();
}

void ReportWarning(AppContext& app, TextView message) {
  app.log.Write(message, app::kLogWarning, 0);
  app.warnings.emplace_back(message);
}

}  // namespace tarn
