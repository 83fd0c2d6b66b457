#include "catalogue/token_list.h"

namespace tarn::catalogue {
namespace {

bool IsSeparator(char16_t c) {
  return c == u',' || c == u' ' || c == u'\t';
}

// The part of a value that counts; a surrogate pair cut in half by the limit
// is dropped as a whole, as everywhere else a value is cut.
TextView Examined(TextView value) {
  if (value.size() <= kTokenListLength) return value;
  TextView cut = value.substr(0, kTokenListLength);
  if (cut.back() >= 0xD800 && cut.back() <= 0xDBFF) cut.remove_suffix(1);
  return cut;
}

}  // namespace

void ForEachToken(TextView value, const std::function<void(TextView)>& visit) {
  const TextView text = Examined(value);
  size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSeparator(text[i])) ++i;
    const size_t start = i;
    while (i < text.size() && !IsSeparator(text[i])) ++i;
    if (i > start) visit(text.substr(start, i - start));
  }
}

bool HasToken(TextView value, TextView word) {
  bool found = false;
  ForEachToken(value, [&](TextView token) {
    if (!found && EqualsIgnoreCase(token, word)) found = true;
  });
  return found;
}

}  // namespace tarn::catalogue
