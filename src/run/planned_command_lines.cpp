#include "run/planned_command_lines.h"

#include <utility>

#include "run/resolve_command.h"

namespace tarn::run {

Text MaskSecrets(TextView line, const std::vector<TextView>& secrets) {
  static constexpr TextView kMask = u"********";
  Text shown(line);
  for (const TextView secret : secrets) {
    if (secret.empty()) continue;
    for (size_t at = shown.find(secret); at != Text::npos;
         at = shown.find(secret, at + kMask.size())) {
      shown.replace(at, secret.size(), kMask);
    }
  }
  return shown;
}

catalogue::CommandLineResolver LaunchCommandLines(const platform::Platform& platform,
                                                  std::vector<TextView> secrets) {
  return [registry = platform.registry, environment = platform.environment,
          secrets = std::move(secrets)](TextView command) {
    Text commandLine = StartedCommandLine(*registry, *environment, command);
    if (commandLine.empty()) commandLine = platform::ExpandWhole(*environment, command);
    return MaskSecrets(commandLine, secrets);
  };
}

}  // namespace tarn::run
