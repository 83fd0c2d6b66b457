// Type-ahead in the software list: which row a typed prefix leads to. The
// list is virtual, so the control cannot search its rows itself and asks
// its owner.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>

#include "base/text.h"

namespace tarn::wizard {

// The first of `rowCount` rows, from `start` on, whose text (`textOf`)
// begins with `prefix`, letter case aside; with `wrap` the search goes on
// from the first row up to `start`. None when no row fits or `prefix` is
// empty; a `start` past the last row begins at the first.
[[nodiscard]] std::optional<size_t> FindRowByPrefix(size_t rowCount, size_t start, TextView prefix,
                                                    bool wrap,
                                                    const std::function<Text(size_t)>& textOf);

}  // namespace tarn::wizard
