#include "run/relaxed_policy.h"

#include <utility>

namespace tarn::run {

void RelaxedPolicy::Hold(const SavedBlankPasswordPolicy& saved) {
  const std::lock_guard<std::mutex> lock(mutex_);
  saved_ = saved;
}

std::optional<SavedBlankPasswordPolicy> RelaxedPolicy::Take() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(saved_, std::nullopt);
}

bool RelaxedPolicy::held() const {
  const std::lock_guard<std::mutex> lock(mutex_);
  return saved_.has_value();
}

WinError RestoreAtSessionEnd(platform::Registry& registry, RelaxedPolicy& policy) {
  const std::optional<SavedBlankPasswordPolicy> saved = policy.Take();
  return saved ? PutBackBlankPasswordPolicy(registry, *saved) : kErrorSuccess;
}

}  // namespace tarn::run
