// The plan's view of the launch: the command line the launch starts for an
// expanded command, so a plan shows documents as the programs that open them.
#pragma once

#include "catalogue/plan_view.h"
#include "platform/platform.h"

namespace tarn::run {

// ResolveCommandLine over the registry and environment of `platform`, which
// must outlive the resolver. Without a registry, commands stay as expanded.
[[nodiscard]] catalogue::CommandLineResolver LaunchCommandLines(const platform::Platform& platform);

}  // namespace tarn::run
