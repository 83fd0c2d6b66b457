#include "catalogue/test_string.h"

namespace tarn::catalogue {
namespace {

std::optional<CompareOperator> OperatorOf(char16_t c) {
  switch (c) {
    case u'>':
      return CompareOperator::kGreater;
    case u'<':
      return CompareOperator::kLess;
    case u'=':
      return CompareOperator::kEqual;
    case u'!':
      return CompareOperator::kNotEqual;
    default:
      return std::nullopt;
  }
}

}  // namespace

SplitTest SplitTestString(TextView test) {
  SplitTest split;
  const size_t mark = test.rfind(u'?');
  if (mark == TextView::npos || mark + 1 == test.size()) {
    split.subject = Text(test);
    return split;
  }
  split.subject = Text(test.substr(0, mark));
  const TextView rest = test.substr(mark + 1);
  const size_t at = rest.find_first_of(u"><=!");
  if (at == TextView::npos) {
    split.missingOperator = true;
    return split;
  }
  split.comparison =
      Comparison{Text(rest.substr(0, at)), *OperatorOf(rest[at]), Text(rest.substr(at + 1))};
  return split;
}

bool ApplyOperator(CompareOperator op, int comparison) {
  switch (op) {
    case CompareOperator::kGreater:
      return comparison > 0;
    case CompareOperator::kLess:
      return comparison < 0;
    case CompareOperator::kEqual:
      return comparison == 0;
    case CompareOperator::kNotEqual:
      return comparison != 0;
  }
  return false;
}

int CompareCaseSensitive(TextView a, TextView b) {
  const int folded = CompareIgnoreCase(a, b);
  if (folded != 0) return folded;
  for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (a[i] == b[i]) continue;
    // Same letter in different case: the one that is not upper case first.
    const bool aUpper = a[i] == FoldCase(a[i]);
    const bool bUpper = b[i] == FoldCase(b[i]);
    if (aUpper != bUpper) return aUpper ? 1 : -1;
    return a[i] < b[i] ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

}  // namespace tarn::catalogue
