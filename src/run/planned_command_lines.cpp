#include "run/planned_command_lines.h"

#include "run/resolve_command.h"

namespace tarn::run {

catalogue::CommandLineResolver LaunchCommandLines(const platform::Platform& platform) {
  return [registry = platform.registry, environment = platform.environment](TextView expanded) {
    Text commandLine;
    (void)ResolveCommandLine(*registry, environment, expanded, commandLine);
    return commandLine;
  };
}

}  // namespace tarn::run
