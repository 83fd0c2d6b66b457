// Version resources read without the system's version API: the parts of the
// file the resource needs come through a FileSystem and the portable PE
// reader parses them. The
// simulated machine uses it, and the Windows build uses it to check the
// reader against the system's own answers.
#pragma once

#include "platform/file_system.h"
#include "platform/version_resources.h"

namespace tarn::platform {

class PortableVersionResources : public VersionResources {
 public:
  // `files` must outlive this object.
  explicit PortableVersionResources(FileSystem& files) : files_(files) {}

  // The file's error when it cannot be read; the reader's error when it is
  // not a PE image or has no usable version resource.
  [[nodiscard]] Result<std::unique_ptr<VersionResource>> Read(TextView path) override;

 private:
  FileSystem& files_;
};

}  // namespace tarn::platform
