// Version resources on the simulated machine: the file's bytes are read
// through the simulated file system and parsed by the portable PE reader, so
// files placed on the machine (or on a mounted host folder) answer as they
// would on Windows.
#pragma once

#include "platform/file_system.h"
#include "platform/version_resources.h"

namespace tarn::sim {

class SimVersionResources : public platform::VersionResources {
 public:
  // `files` must outlive this object.
  explicit SimVersionResources(platform::FileSystem& files) : files_(files) {}

  // The file's error when it cannot be read; the reader's error when it is
  // not a PE image or has no usable version resource.
  [[nodiscard]] Result<std::unique_ptr<platform::VersionResource>> Read(TextView path) override;

 private:
  platform::FileSystem& files_;
};

}  // namespace tarn::sim
