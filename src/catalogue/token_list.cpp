#include "catalogue/token_list.h"

namespace tarn::catalogue {

TextView ExaminedTokens(TextView value) {
  if (value.size() <= kTokenListLength) return value;
  TextView cut = value.substr(0, kTokenListLength);
  if (cut.back() >= 0xD800 && cut.back() <= 0xDBFF) cut.remove_suffix(1);
  return cut;
}

bool HasToken(TextView value, TextView word) {
  bool found = false;
  ForEachToken(value, [&](TextView token) {
    if (!found && EqualsIgnoreCase(token, word)) found = true;
  });
  return found;
}

}  // namespace tarn::catalogue
