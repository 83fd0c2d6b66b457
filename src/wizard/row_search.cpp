#include "wizard/row_search.h"

namespace tarn::wizard {

std::optional<size_t> FindRowByPrefix(size_t rowCount, size_t start, TextView prefix, bool wrap,
                                      const std::function<Text(size_t)>& textOf) {
  if (prefix.empty() || rowCount == 0) return std::nullopt;
  if (start >= rowCount) start = 0;
  const size_t steps = wrap ? rowCount : rowCount - start;
  for (size_t step = 0; step < steps; ++step) {
    const size_t row = (start + step) % rowCount;
    if (StartsWithIgnoreCase(textOf(row), prefix)) return row;
  }
  return std::nullopt;
}

}  // namespace tarn::wizard
