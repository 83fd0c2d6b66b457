// Remembers each file's version resource, or why it has none, so a file that
// many tests look at is read once. Meant to live only as long as one pass
// over the tests (a catalogue load): the answers are not checked against
// later changes of the files.
#pragma once

#include <map>
#include <memory>

#include "platform/version_resources.h"

namespace tarn::platform {

class VersionResourceCache final : public VersionResources {
 public:
  // `source` must outlive this object.
  explicit VersionResourceCache(VersionResources& source) : source_(source) {}

  // The source's answer for `path`, asked of the source only the first time.
  // Paths are matched exactly as given: on a host folder two names that
  // differ only in case can be two files.
  [[nodiscard]] Result<std::unique_ptr<VersionResource>> Read(TextView path) override;

 private:
  struct Answer {
    std::shared_ptr<const VersionResource> resource;
    WinError error = kErrorSuccess;
  };

  VersionResources& source_;
  std::map<Text, Answer, std::less<>> answers_;
};

}  // namespace tarn::platform
