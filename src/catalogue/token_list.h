// Token lists: attribute and style values made of words separated by commas,
// blanks or tabs. Words compare ignoring case; unknown words mean nothing.
#pragma once

#include <cstddef>

#include "base/text.h"

namespace tarn::catalogue {

// Only this many leading code units of a value are examined as a token list.
inline constexpr size_t kTokenListLength = 99;

// True when `word` is one of the tokens of `value` (its first
// kTokenListLength units), ignoring case.
[[nodiscard]] bool HasToken(TextView value, TextView word);

// The part of a value that is examined as a token list: its first
// kTokenListLength units, without a surrogate pair cut in half.
[[nodiscard]] TextView ExaminedTokens(TextView value);

[[nodiscard]] inline bool IsTokenSeparator(char16_t c) {
  return c == u',' || c == u' ' || c == u'\t';
}

// Calls `visit` with each token of `value` (its first kTokenListLength units),
// in order. Empty tokens are skipped.
template <class Visit>
void ForEachToken(TextView value, Visit&& visit) {
  const TextView text = ExaminedTokens(value);
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsTokenSeparator(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && !IsTokenSeparator(text[i])) ++i;
    if (i > start) visit(text.substr(start, i - start));
  }
}

}  // namespace tarn::catalogue
