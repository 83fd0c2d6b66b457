// Splitting a test string into its subject (key path or file path) and an
// optional comparison ("?" word operator text), and applying the operators.
#pragma once

#include <optional>

#include "base/text.h"

namespace tarn::catalogue {

enum class CompareOperator { kGreater, kLess, kEqual, kNotEqual };

struct Comparison {
  // What stands between '?' and the operator: the kind of a file test, the
  // ignored word of a registry test.
  Text word;
  CompareOperator op = CompareOperator::kEqual;
  // What follows the operator.
  Text text;
};

struct SplitTest {
  // The key path or file path before the '?', or the whole string.
  Text subject;
  std::optional<Comparison> comparison;
  // True when a '?' splits the string but none of '>', '<', '=', '!' follows
  // it; such a test is false.
  bool missingOperator = false;
};

// Splits at the last '?'; a '?' that ends the string does not split. The first
// of '>', '<', '=', '!' after the '?' is the operator.
[[nodiscard]] SplitTest SplitTestString(TextView test);

// True when the outcome of a comparison (negative, zero, positive: actual
// less than, equal to, greater than the text) satisfies the operator.
[[nodiscard]] bool ApplyOperator(CompareOperator op, int comparison);

// Compares two texts case-sensitively in the manner of StrCmpW: alphabetical
// order first, and for texts that differ only in case, lower case before
// upper case at the first such difference. Negative, zero or positive.
[[nodiscard]] int CompareCaseSensitive(TextView a, TextView b);

}  // namespace tarn::catalogue
