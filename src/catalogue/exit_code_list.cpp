#include "catalogue/exit_code_list.h"

#include "catalogue/token_list.h"

namespace tarn::catalogue {

std::optional<std::vector<uint32_t>> ParseExitCodeList(TextView value) {
  std::vector<uint32_t> codes;
  size_t at = 0;
  while (at < value.size()) {
    while (at < value.size() && IsTokenSeparator(value[at])) ++at;
    const size_t start = at;
    while (at < value.size() && !IsTokenSeparator(value[at])) ++at;
    const TextView word = value.substr(start, at - start);
    size_t consumed = 0;
    const uint32_t code = ParseNumberAutoBase(word, &consumed);
    // "12a" is no number: a code cut short would count a wrong exit code.
    if (!word.empty() && consumed == word.size()) codes.push_back(code);
  }
  if (codes.empty()) return std::nullopt;
  return codes;
}

}  // namespace tarn::catalogue
