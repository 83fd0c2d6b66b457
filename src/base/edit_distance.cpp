#include "base/edit_distance.h"

#include <algorithm>
#include <vector>

namespace tarn {

size_t EditDistance(TextView a, TextView b, size_t limit) {
  const size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (gap > limit) return limit + 1;
  // Three rows of the classic table: two back for the swap of neighbours.
  std::vector<size_t> before(b.size() + 1), previous(b.size() + 1), current(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    size_t rowBest = current[0];
    for (size_t j = 1; j <= b.size(); ++j) {
      const bool same = FoldCase(a[i - 1]) == FoldCase(b[j - 1]);
      current[j] =
          std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + (same ? 0 : 1)});
      if (i > 1 && j > 1 && FoldCase(a[i - 1]) == FoldCase(b[j - 2]) &&
          FoldCase(a[i - 2]) == FoldCase(b[j - 1])) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
      rowBest = std::min(rowBest, current[j]);
    }
    if (rowBest > limit) return limit + 1;
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return std::min(previous[b.size()], limit + 1);
}

}  // namespace tarn
