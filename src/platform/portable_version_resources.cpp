#include "platform/portable_version_resources.h"

#include "platform/pe_version_reader.h"

namespace tarn::platform {

Result<std::unique_ptr<VersionResource>> PortableVersionResources::Read(TextView path) {
  const auto bytes = files_.ReadAll(path);
  if (!bytes) return Result<std::unique_ptr<VersionResource>>::Failure(bytes.error());
  return ReadPeVersionResource(*bytes);
}

}  // namespace tarn::platform
