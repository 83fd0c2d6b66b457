// Registry values read as text the way a caller's fixed buffer receives them.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/registry.h"

namespace tarn::platform {

// The text of `value` within its first `maxBytes` bytes, up to the first zero
// unit (see RegValue::AsText).
[[nodiscard]] Text ValueText(const platform::RegValue& value, uint32_t maxBytes);

// The text of value `name` of `key` as ValueText gives it; empty when the
// value can't be read.
[[nodiscard]] Text ReadTextValue(platform::Registry& registry, platform::RegKey key, TextView name,
                                 uint32_t maxBytes);

}  // namespace tarn::platform
