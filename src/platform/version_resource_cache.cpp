#include "platform/version_resource_cache.h"

namespace tarn::platform {
namespace {

// Hands out a remembered resource under the interface's unique ownership.
class SharedResource final : public VersionResource {
 public:
  explicit SharedResource(std::shared_ptr<const VersionResource> resource)
      : resource_(std::move(resource)) {}

  [[nodiscard]] std::optional<FixedVersions> Fixed() const override { return resource_->Fixed(); }
  [[nodiscard]] std::vector<Translation> Translations() const override {
    return resource_->Translations();
  }
  [[nodiscard]] std::optional<Text> String(TextView subBlock) const override {
    return resource_->String(subBlock);
  }

 private:
  std::shared_ptr<const VersionResource> resource_;
};

}  // namespace

Result<std::unique_ptr<VersionResource>> VersionResourceCache::Read(TextView path) {
  using R = Result<std::unique_ptr<VersionResource>>;
  auto found = answers_.find(path);
  if (found == answers_.end()) {
    auto read = source_.Read(path);
    Answer answer;
    if (read) {
      answer.resource = std::move(*read);
    } else {
      answer.error = read.error();
    }
    found = answers_.emplace(Text(path), std::move(answer)).first;
  }
  if (!found->second.resource) return R::Failure(found->second.error);
  return R(std::make_unique<SharedResource>(found->second.resource));
}

}  // namespace tarn::platform
