// The construct is matched by hand rather than with <regex>: the pattern is
// fixed and small, and hand matching cannot blow the stack on long values.
#include "catalogue/conditional_text.h"

#include <optional>

namespace tarn::catalogue {
namespace {

struct Construct {
  size_t start = 0;
  size_t end = 0;  // one past the closing parenthesis
  bool whenTrue = false;
  TextView quoted;
};

// The construct that starts exactly at `at`, if one does:
// if.true("text") or if.false("text"), letters in any case, no blanks, the
// quoted text one or more characters without a double quote.
std::optional<Construct> MatchAt(TextView value, size_t at) {
  TextView rest = value.substr(at);
  if (!StartsWithIgnoreCase(rest, u"if.")) return std::nullopt;
  rest.remove_prefix(3);
  Construct found;
  found.start = at;
  if (StartsWithIgnoreCase(rest, u"true")) {
    found.whenTrue = true;
    rest.remove_prefix(4);
  } else if (StartsWithIgnoreCase(rest, u"false")) {
    rest.remove_prefix(5);
  } else {
    return std::nullopt;
  }
  if (!rest.starts_with(u"(\"")) return std::nullopt;
  rest.remove_prefix(2);
  const size_t quote = rest.find(u'"');
  if (quote == 0 || quote == TextView::npos) return std::nullopt;
  if (quote + 1 >= rest.size() || rest[quote + 1] != u')') return std::nullopt;
  found.quoted = rest.substr(0, quote);
  found.end = value.size() - rest.size() + quote + 2;
  return found;
}

std::optional<Construct> FindConstruct(TextView value, size_t from) {
  for (size_t at = value.find_first_of(u"iI", from); at != TextView::npos;
       at = value.find_first_of(u"iI", at + 1)) {
    if (auto found = MatchAt(value, at)) return found;
  }
  return std::nullopt;
}

}  // namespace

bool ApplyConditionalText(Text& value, bool condition) {
  auto construct = FindConstruct(value, 0);
  if (!construct) return false;
  Text result;
  size_t copiedUpTo = 0;
  for (; construct; construct = FindConstruct(value, copiedUpTo)) {
    result.append(value, copiedUpTo, construct->start - copiedUpTo);
    if (construct->whenTrue == condition) result.append(construct->quoted);
    copiedUpTo = construct->end;
  }
  result.append(value, copiedUpTo);
  value = std::move(result);
  return true;
}

}  // namespace tarn::catalogue
