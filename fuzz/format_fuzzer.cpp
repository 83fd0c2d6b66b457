// Formats arbitrary formats against a fixed mix of arguments: nothing may
// crash, and the result is bounded by the format and the width limit.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  tarn::Text format(size / 2, u'\0');
  std::memcpy(format.data(), data, format.size() * 2);
  const tarn::Text text = u"text";
  const tarn::Text result = tarn::Format(format, {1, text, -5LL, 7u, u"x"});
  // Each conversion can grow to at most the width limit plus its argument.
  if (result.size() > format.size() * 1100 + 64) std::abort();
  return 0;
}
