// The text form in which WritePrivateProfileStructW stores bytes: two
// upper-case hexadecimal digits per byte, then the checksum byte (the sum of
// the bytes modulo 256) in the same form.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/text.h"

namespace tarn::platform {

// The value text for `bytes`; "00" for no bytes.
[[nodiscard]] Text FormatStructValue(std::span<const uint8_t> bytes);

// The bytes of a struct value when it holds exactly `size` bytes (digits of
// either case) and its checksum matches; otherwise nullopt, as
// GetPrivateProfileStructW then fails.
[[nodiscard]] std::optional<std::vector<uint8_t>> ParseStructValue(TextView value, uint32_t size);

}  // namespace tarn::platform
