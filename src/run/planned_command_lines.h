// The plan's view of the launch: the command line the launch starts for an
// expanded command, so a plan shows documents as the programs that open them.
#pragma once

#include <vector>

#include "catalogue/plan_view.h"
#include "platform/platform.h"

namespace tarn::run {

// ResolveCommandLine over the registry and environment of `platform`, which
// must outlive the resolver. Without a registry, commands stay as expanded.
// Every non-empty text of `secrets` (the passwords the run knows; they must
// outlive the resolver) is shown masked, as the log shows them; a command
// line refused for a quote in a quoted part reads as the command expanded.
[[nodiscard]] catalogue::CommandLineResolver LaunchCommandLines(const platform::Platform& platform,
                                                                std::vector<TextView> secrets = {});

// `line` with every occurrence of each non-empty secret replaced by
// "********".
[[nodiscard]] Text MaskSecrets(TextView line, const std::vector<TextView>& secrets);

}  // namespace tarn::run
