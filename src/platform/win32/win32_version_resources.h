// Version resources through the system's version API
// (GetFileVersionInfoSizeW, GetFileVersionInfoW, VerQueryValueW).
#pragma once

#include "platform/version_resources.h"

namespace tarn::win32 {

class Win32VersionResources : public platform::VersionResources {
 public:
  // GetLastError of the failing call when the file has no version resource.
  [[nodiscard]] Result<std::unique_ptr<platform::VersionResource>> Read(TextView path) override;
};

}  // namespace tarn::win32
