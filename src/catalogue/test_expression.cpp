// EvaluateTestExpression: test numbers joined by & | = !, strictly left to
// right.
#include <limits>

#include "catalogue/installation_tests.h"

namespace tarn::catalogue {
namespace {

constexpr int64_t kNumberLimit = std::numeric_limits<int32_t>::max();

class ExpressionReader {
 public:
  explicit ExpressionReader(TextView text) : text_(text) {}

  [[nodiscard]] bool AtEnd() const { return pos_ >= text_.size(); }
  [[nodiscard]] char16_t Peek() const { return text_[pos_]; }
  void Skip() { ++pos_; }
  void SkipBlanks() {
    while (!AtEnd() && IsBlank(text_[pos_])) ++pos_;
  }

  // A signed number with automatic base as wcstol reads it (without its
  // leading blanks, which the caller skips), saturated to 32 bits; nullopt
  // and nothing consumed when no digit stands here.
  std::optional<int64_t> Number() {
    size_t at = pos_;
    const bool negative = at < text_.size() && text_[at] == u'-';
    if (at < text_.size() && (text_[at] == u'-' || text_[at] == u'+')) ++at;
    int base = 10;
    if (at < text_.size() && text_[at] == u'0') {
      const bool hex = at + 2 < text_.size() && (text_[at + 1] == u'x' || text_[at + 1] == u'X') &&
                       DigitValue(text_[at + 2]) < 16;
      base = hex ? 16 : 8;
      if (hex) at += 2;
    }
    const size_t digits = at;
    int64_t value = 0;
    for (; at < text_.size() && DigitValue(text_[at]) < base; ++at) {
      value = value * base + DigitValue(text_[at]);
      if (value > kNumberLimit) value = kNumberLimit + 1;
    }
    if (at == digits) return std::nullopt;
    pos_ = at;
    return negative ? -value : value;
  }

 private:
  TextView text_;
  size_t pos_ = 0;
};

bool Combine(char16_t op, bool result, bool test) {
  switch (op) {
    case u'&':
      return result && test;
    case u'|':
      return result || test;
    case u'=':
      return result == test;
    case u'!':
      return result != test;
    default:
      return result;  // no operator: the number is ignored
  }
}

bool IsOperator(char16_t c) {
  return c == u'&' || c == u'|' || c == u'=' || c == u'!';
}

}  // namespace

bool EvaluateTestExpression(TextView expression, std::span<const bool> results) {
  bool result = true;
  char16_t pending = u'&';
  ExpressionReader reader(expression);
  while (true) {
    reader.SkipBlanks();
    if (reader.AtEnd()) break;
    const auto number = reader.Number();
    if (!number || *number < 0) break;
    if (static_cast<uint64_t>(*number) >= results.size()) return true;
    reader.SkipBlanks();
    result = Combine(pending, result, results[static_cast<size_t>(*number)]);
    pending = 0;
    if (!reader.AtEnd() && IsOperator(reader.Peek())) {
      pending = reader.Peek();
      reader.Skip();
    }
  }
  return result;
}

}  // namespace tarn::catalogue
