// Hostile test.eval expressions: any text over any number of outcomes must
// end without reading an outcome that does not exist.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "catalogue/installation_tests.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  // First byte: how many tests; second: their outcomes as bits.
  const size_t count = data[0] % 9;
  std::vector<char> outcomes(count);
  for (size_t i = 0; i < count; ++i) outcomes[i] = (data[1] >> i) & 1;
  tarn::Text expression;
  for (size_t i = 2; i < size; ++i) expression.push_back(static_cast<char16_t>(data[i]));
  // A heap copy of exactly `count` outcomes lets the address sanitizer catch
  // any read past the last test.
  auto* results = new bool[count == 0 ? 1 : count];
  for (size_t i = 0; i < count; ++i) results[i] = outcomes[i] != 0;
  (void)tarn::catalogue::EvaluateTestExpression(expression, std::span<const bool>(results, count));
  delete[] results;
  return 0;
}
