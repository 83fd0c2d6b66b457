// EvaluateTestExpression: test numbers joined by & | = !, strictly left to
// right.
#include <algorithm>
#include <limits>

#include "catalogue/installation_tests.h"

namespace tarn::catalogue {
namespace {

constexpr uint64_t kNumberLimit = std::numeric_limits<int32_t>::max();

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
    const AutoBaseNumber number =
        ScanNumberAutoBase(text_.substr(std::min(pos_, text_.size())), kNumberLimit);
    if (number.length == 0) return std::nullopt;
    pos_ += number.length;
    const auto value = static_cast<int64_t>(number.magnitude);
    return number.negative ? -value : value;
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
