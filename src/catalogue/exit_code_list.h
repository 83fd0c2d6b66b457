// Reading the lists of exit codes that the "success" and "needsrestart" keys
// of a software section give.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"

namespace tarn::catalogue {

// The exit codes of a list such as "0, 1, 3010": numbers separated by commas,
// blanks or tabs, each with automatic base ("0x" hexadecimal, a leading "0"
// octal) and an optional "-" (a signed 32-bit code, "-1" is 0xFFFFFFFF).
// Words that are no number are passed over. Nullopt when the value holds no
// number at all: such a key gives no list, and the default list holds.
[[nodiscard]] std::optional<std::vector<uint32_t>> ParseExitCodeList(TextView value);

}  // namespace tarn::catalogue
