// With HasGaps a level of items may skip indexes, and the loader would have
// to ask for every index up to 254 below every item. This map, built once
// from a section's lines, lists for each index path the child indexes whose
// command key can exist at all, so only those are asked for.
#pragma once

#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "base/text.h"

namespace tarn::catalogue {

class ItemIndexMap {
 public:
  // From a section's lines as GetPrivateProfileSectionW gives them
  // ("key=value" items separated by zeros). Every line whose key (the text
  // before "=", or the whole line, without surrounding blanks) reads
  // "command" + ".n" per level, each n written as "%d" would write it and at
  // most 254, counts. A superset of the keys the profile functions can find.
  [[nodiscard]] static ItemIndexMap FromSectionLines(TextView lines);

  // The smallest child index of `parentPath` (such as "" or ".3.1") that is
  // at least `from` and may have a command key; nullopt when there is none.
  [[nodiscard]] std::optional<int> NextIndex(TextView parentPath, int from) const;

 private:
  std::unordered_map<Text, std::vector<uint8_t>> children_;  // sorted, unique
};

}  // namespace tarn::catalogue
