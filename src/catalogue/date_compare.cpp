#include "catalogue/date_compare.h"

#include <limits>

namespace tarn::catalogue {
namespace {

constexpr size_t kDateFieldCount = 3;
constexpr size_t kTimeFieldCount = 4;

bool IsDigit(char16_t c) {
  return c >= u'0' && c <= u'9';
}

class DateReader {
 public:
  explicit DateReader(TextView text) : text_(text) {}

  [[nodiscard]] bool AtDigit() const { return pos_ < text_.size() && IsDigit(text_[pos_]); }
  [[nodiscard]] bool AtEnd() const { return pos_ >= text_.size(); }
  [[nodiscard]] bool At(char16_t c) const { return pos_ < text_.size() && text_[pos_] == c; }
  void Skip() { ++pos_; }

  // Decimal digits at the current place; saturates instead of wrapping.
  uint32_t Number() {
    uint64_t value = 0;
    for (; AtDigit(); ++pos_) {
      value = value * 10 + static_cast<uint64_t>(text_[pos_] - u'0');
      if (value > std::numeric_limits<uint32_t>::max())
        value = std::numeric_limits<uint32_t>::max();
    }
    return static_cast<uint32_t>(value);
  }

 private:
  TextView text_;
  size_t pos_ = 0;
};

// Reads up to `limit` numbers, each ended by one character, into `fields`.
void ReadNumbers(DateReader& reader, DateFields& fields, size_t limit) {
  for (size_t i = 0; i < limit && reader.AtDigit(); ++i) {
    fields.values[fields.count++] = reader.Number();
    if (i + 1 < limit && !reader.AtEnd()) reader.Skip();
  }
}

// After the day: 'T' directly or after one ending character, or after extra
// numbers that are skipped. True when the reader stands just after the 'T'.
bool FindTimeMarker(DateReader& reader) {
  if (!reader.At(u'T') && !reader.AtEnd()) reader.Skip();
  while (reader.AtDigit()) {
    (void)reader.Number();
    if (!reader.At(u'T') && !reader.AtEnd()) reader.Skip();
  }
  if (!reader.At(u'T')) return false;
  reader.Skip();
  return true;
}

}  // namespace

DateFields ParseDateText(TextView text) {
  DateFields fields;
  DateReader reader(text);
  ReadNumbers(reader, fields, kDateFieldCount);
  if (fields.count == kDateFieldCount && FindTimeMarker(reader)) {
    ReadNumbers(reader, fields, kTimeFieldCount);
  }
  return fields;
}

int CompareDate(const platform::SystemTime& actual, const DateFields& wanted) {
  const std::array<uint32_t, 7> have = {actual.year,        actual.month,  actual.day,
                                        actual.hour,        actual.minute, actual.second,
                                        actual.milliseconds};
  for (size_t i = 0; i < wanted.count && i < have.size(); ++i) {
    if (have[i] != wanted.values[i]) return have[i] < wanted.values[i] ? -1 : 1;
  }
  return 0;
}

}  // namespace tarn::catalogue
