#include "platform/sim/sim_version_resources.h"

#include "platform/pe_version_reader.h"

namespace tarn::sim {

Result<std::unique_ptr<platform::VersionResource>> SimVersionResources::Read(TextView path) {
  const auto bytes = files_.ReadAll(path);
  if (!bytes) return Result<std::unique_ptr<platform::VersionResource>>::Failure(bytes.error());
  return platform::ReadPeVersionResource(*bytes);
}

}  // namespace tarn::sim
