#include "platform/portable_version_resources.h"

#include "platform/pe_version_reader.h"

namespace tarn::platform {

Result<std::unique_ptr<VersionResource>> PortableVersionResources::Read(TextView path) {
  const auto file = files_.OpenForReading(path);
  if (!file) return Result<std::unique_ptr<VersionResource>>::Failure(file.error());
  return ReadPeVersionResource(**file);
}

}  // namespace tarn::platform
