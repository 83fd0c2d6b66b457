// Any title and body in the short help: the RTF stays 8-bit ASCII with
// balanced braces, and its \u escapes give back exactly the input's units,
// title first.
#include <cstddef>
#include <cstdint>
#include <string>

#include "wizard/help_content.h"

namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The units of every "\u<signed number>\'3f" of `rtf`, in order; the
// template's own control words (\uc1) carry no number.
tarn::Text Unescape(const std::string& rtf) {
  tarn::Text units;
  for (size_t at = rtf.find("\\u"); at != std::string::npos; at = rtf.find("\\u", at + 1)) {
    size_t end = at + 2;
    if (end < rtf.size() && rtf[end] == '-') ++end;
    const size_t digits = end;
    while (end < rtf.size() && IsDigit(rtf[end])) ++end;
    if (end == digits) continue;
    if (rtf.compare(end, 4, "\\'3f") != 0) __builtin_trap();
    const long value = std::stol(rtf.substr(at + 2, end - at - 2));
    if (value < -32768 || value > 32767) __builtin_trap();
    units.push_back(static_cast<char16_t>(static_cast<uint16_t>(static_cast<int16_t>(value))));
  }
  return units;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text units;
  for (size_t i = 0; i + 1 < size; i += 2) {
    units.push_back(static_cast<char16_t>(data[i] | (data[i + 1] << 8)));
  }
  // The first unit chooses where the title ends.
  const size_t split = units.empty() ? 0 : 1 + units[0] % units.size();
  const tarn::TextView input(units);
  const tarn::TextView title = input.substr(units.empty() ? 0 : 1, split - (split ? 1 : 0));
  const tarn::TextView body = input.substr(split);
  const std::string rtf = tarn::wizard::ShortHelpRtf(title, body);

  long depth = 0;
  for (const char c : rtf) {
    if (static_cast<unsigned char>(c) > 0x7F || c == '\0') __builtin_trap();
    if (c == '{') ++depth;
    if (c == '}' && --depth < 0) __builtin_trap();
  }
  if (depth != 0) __builtin_trap();
  if (Unescape(rtf) != tarn::Text(title) + tarn::Text(body)) __builtin_trap();
  return 0;
}
