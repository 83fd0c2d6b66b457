// Text helpers shared by the whole core. All text is UTF-16, as the system
// measures capacities in UTF-16 code units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarn {

using Text = std::u16string;
using TextView = std::u16string_view;

// Converts UTF-8 to UTF-16. Malformed sequences become U+FFFD; never throws.
[[nodiscard]] Text FromUtf8(std::string_view utf8);
// Converts UTF-16 to UTF-8. Unpaired surrogates become U+FFFD; never throws.
[[nodiscard]] std::string ToUtf8(TextView text);

// FoldCase for characters from U+0080 on; smaller ones come back unchanged.
[[nodiscard]] char16_t FoldCaseBeyondAscii(char16_t c);

// Upper-case mapping used for every comparison that ignores case, close to
// the system's own table for Latin, Greek and Cyrillic letters. Names are
// nearly always ASCII, so that case stays inline and off the table.
[[nodiscard]] inline char16_t FoldCase(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 0x20) : c;
  return FoldCaseBeyondAscii(c);
}
[[nodiscard]] Text ToUpper(TextView text);

// Comparisons ignoring case in the manner of StrCmpIW / StrCmpNIW.
[[nodiscard]] int CompareIgnoreCase(TextView a, TextView b);
[[nodiscard]] bool EqualsIgnoreCase(TextView a, TextView b);
// True when the first `prefix.size()` units of `text` equal `prefix` ignoring case.
[[nodiscard]] bool StartsWithIgnoreCase(TextView text, TextView prefix);
// Position of `needle` in `haystack` ignoring case, or npos.
[[nodiscard]] size_t FindIgnoreCase(TextView haystack, TextView needle, size_t from = 0);

// Cuts `value` to at most `capacity` code units. Never splits a surrogate pair:
// a high surrogate left alone at the cut is dropped as well.
[[nodiscard]] Text CutToCapacity(TextView value, size_t capacity);
// What a caller's buffer of `bufferCapacity` units receives of `value`: at
// most bufferCapacity - 1 units (one is kept for the terminator), cut as
// CutToCapacity cuts; nothing for a buffer of 0.
[[nodiscard]] Text CutToBuffer(TextView value, size_t bufferCapacity);

// Appends `text` as UTF-16 LE bytes (no terminator, no byte-order mark).
void AppendUtf16Le(std::vector<uint8_t>& out, TextView text);
// The text of UTF-16 LE bytes; an odd last byte is ignored. With
// `stopAtZero`, the text ends at the first zero unit.
[[nodiscard]] Text TextFromUtf16Le(std::span<const uint8_t> bytes, bool stopAtZero);

// Reads a number as StrToIntW does: blanks are not skipped, an optional sign,
// then decimal digits up to the first other character; no digits gives 0.
// Overflow wraps as 32-bit arithmetic does.
[[nodiscard]] int32_t ParseDecimalPrefix(TextView text);

// A number with base detection as wcstol(..., 0) and wcstoul(..., 0) read it
// once past their leading blanks, starting at text[0]: an optional sign,
// "0x"/"0X" hexadecimal (only when a hexadecimal digit follows), a leading 0
// octal, else decimal, up to the first character that is not a digit of the
// base. `magnitude` is the digits' value, or limit + 1 when that exceeds
// `limit` (at most UINT32_MAX). `length` is 0, and the rest default, when no
// digit stands there.
struct AutoBaseNumber {
  bool negative = false;
  uint64_t magnitude = 0;
  size_t length = 0;
};
[[nodiscard]] AutoBaseNumber ScanNumberAutoBase(TextView text, uint64_t limit);

// Reads a number with base detection, as wcstoul(..., 0) does: optional blanks
// and sign, "0x"/"0X" hexadecimal, a leading 0 octal, else decimal; stops at the
// first character that is not a digit of the base. `consumed` receives the
// number of code units used (0 when there was no number). Saturates at 32 bits.
[[nodiscard]] uint32_t ParseNumberAutoBase(TextView text, size_t* consumed = nullptr);

// The value of `c` as a digit of a base up to 36: '0'-'9', then 'a'-'z' or
// 'A'-'Z' for 10-35. Anything else gives 36 or more, so `DigitValue(c) < base`
// alone tells whether `c` is a digit of `base`.
[[nodiscard]] inline int DigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'z') return c - u'a' + 10;
  if (c >= u'A' && c <= u'Z') return c - u'A' + 10;
  return 99;
}

// The byte written as the two hexadecimal digits `high` and `low` (either
// case), or nullopt when either is not a hexadecimal digit.
[[nodiscard]] std::optional<uint8_t> HexByte(char16_t high, char16_t low);

[[nodiscard]] inline bool IsBlank(char16_t c) {
  return c == u' ' || c == u'\t';
}
[[nodiscard]] TextView TrimBlanks(TextView text);

[[nodiscard]] Text DecimalText(int64_t value);

// Replaces every occurrence of `search` (ignoring case) by `replacement`, left
// to right, continuing after each inserted replacement. Stops before a
// replacement that would make `text` longer than `capacity` and returns true;
// otherwise returns whether anything was replaced. An empty search text
// replaces nothing.
bool ReplaceText(Text& text, size_t capacity, TextView search, TextView replacement);

}  // namespace tarn
