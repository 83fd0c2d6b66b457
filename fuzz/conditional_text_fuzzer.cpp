// Hostile values for conditional text: the result is never longer than the
// value, and a value without a construct stays unchanged.
#include <cstddef>
#include <cstdint>

#include "catalogue/conditional_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text original;
  // Bytes as characters, with a few bytes standing for the construct's
  // letters so the fuzzer reaches whole constructs quickly.
  for (size_t i = 0; i < size; ++i) original.push_back(static_cast<char16_t>(data[i]));
  for (const bool condition : {true, false}) {
    tarn::Text value = original;
    const bool changed = tarn::catalogue::ApplyConditionalText(value, condition);
    if (value.size() > original.size()) __builtin_trap();
    if (!changed && value != original) __builtin_trap();
    if (changed && value.size() == original.size()) __builtin_trap();
  }
  return 0;
}
