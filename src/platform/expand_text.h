// Expanding %variables% into a text bounded the way a caller's buffer bounds
// it, also when no environment is at hand.
#pragma once

#include <cstdint>

#include "base/text.h"
#include "platform/environment.h"

namespace tarn::platform {

// `text` with its variables expanded by `environment` into a buffer of
// `bufferCapacity` units (terminator included). Without an environment,
// `text` as such a buffer receives it unexpanded: cut to bufferCapacity - 1
// units, nothing for a buffer of 0.
[[nodiscard]] Text ExpandIntoBuffer(platform::Environment* environment, TextView text,
                                    uint32_t bufferCapacity);

}  // namespace tarn::platform
