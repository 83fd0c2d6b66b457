// The little JSON the result file and the resume journal need: strings
// written as RFC 8259 asks, in UTF-8, and read back from a flat array.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/text.h"

namespace tarn::run {

// Appends `units` as a quoted JSON string in UTF-8: quote, backslash and every
// control character escaped, a surrogate without its partner as U+FFFD.
void AppendJsonString(std::string& out, TextView units);

// The strings of a line that is exactly one array of strings, such as
// ["entry","7","success"]; nullopt for anything else (a cut-off line too).
[[nodiscard]] std::optional<std::vector<Text>> ParseJsonStringArray(std::string_view line);

}  // namespace tarn::run
