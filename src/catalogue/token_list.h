// Token lists: attribute and style values made of words separated by commas,
// blanks or tabs. Words compare ignoring case; unknown words mean nothing.
#pragma once

#include <cstddef>
#include <functional>

#include "base/text.h"

namespace tarn::catalogue {

// Only this many leading code units of a value are examined as a token list.
inline constexpr size_t kTokenListLength = 99;

// True when `word` is one of the tokens of `value` (its first
// kTokenListLength units), ignoring case.
[[nodiscard]] bool HasToken(TextView value, TextView word);

// Calls `visit` with each token of `value` (its first kTokenListLength units),
// in order. Empty tokens are skipped.
void ForEachToken(TextView value, const std::function<void(TextView)>& visit);

}  // namespace tarn::catalogue
