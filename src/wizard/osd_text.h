// The text of the on-screen countdown: an untrusted printf-style format
// (from the settings or languages.ini) with the whole seconds left.
#pragma once

#include <cstdint>

#include "base/text.h"

namespace tarn::wizard {

// The most characters the display shows; the rest of a longer text is cut.
inline constexpr size_t kOsdTextCapacity = 254;

// `configured` when it is non-empty, else `fallback` (the translated default).
[[nodiscard]] Text OsdFormatOrDefault(TextView configured, TextView fallback);

// `format` with `seconds` for its integer conversion, through the checked
// formatter (a wrong conversion is written out literally), cut to
// kOsdTextCapacity characters.
[[nodiscard]] Text OsdText(TextView format, uint32_t seconds);

}  // namespace tarn::wizard
