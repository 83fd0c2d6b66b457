// Version resources on the simulated machine: files placed on the machine (or
// on a mounted host folder) answer as they would on Windows, through the
// portable PE reader.
#pragma once

#include "platform/portable_version_resources.h"

namespace tarn::sim {

using SimVersionResources = platform::PortableVersionResources;

}  // namespace tarn::sim
