#include "platform/registry_text.h"

#include <algorithm>
#include <span>

namespace tarn::platform {

Text ValueText(const platform::RegValue& value, uint32_t maxBytes) {
  const size_t size = std::min<size_t>(value.data.size(), maxBytes);
  return TextFromUtf16Le(std::span<const uint8_t>(value.data.data(), size), /*stopAtZero=*/true);
}

Text ReadTextValue(platform::Registry& registry, platform::RegKey key, TextView name,
                   uint32_t maxBytes) {
  const auto value = registry.QueryValue(key, name);
  return value ? ValueText(*value, maxBytes) : Text();
}

}  // namespace tarn::platform
