// How far apart two names are, for suggesting the name a person meant.
#pragma once

#include <cstddef>

#include "base/text.h"

namespace tarn {

// The number of single-character insertions, deletions, substitutions and
// swaps of neighbours that turn `a` into `b`, ignoring case. Stops counting
// at `limit` (returns limit + 1 for anything farther), so a long name costs
// no more than the limit allows.
[[nodiscard]] size_t EditDistance(TextView a, TextView b, size_t limit);

}  // namespace tarn
