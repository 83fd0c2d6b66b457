#include "base/text.h"

#include <algorithm>
#include <limits>

namespace tarn {
namespace {

constexpr char16_t kReplacement = 0xFFFD;

void AppendUtf16(Text& out, uint32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<char16_t>(cp));
  }
}

void AppendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

}  // namespace

Text FromUtf8(std::string_view in) {
  Text out;
  out.reserve(in.size());
  size_t i = 0;
  while (i < in.size()) {
    const auto b = static_cast<unsigned char>(in[i]);
    if (b < 0x80) {
      out.push_back(b);
      ++i;
      continue;
    }
    const int extra = (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= in.size()) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    uint32_t cp = b & (0x3F >> extra);
    bool ok = true;
    for (int k = 1; k <= extra; ++k) {
      const auto c = static_cast<unsigned char>(in[i + k]);
      ok = ok && (c & 0xC0) == 0x80;
      cp = (cp << 6) | (c & 0x3F);
    }
    const uint32_t minimum[] = {0, 0x80, 0x800, 0x10000};
    if (!ok || cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out.push_back(kReplacement);
      ++i;
      continue;
    }
    AppendUtf16(out, cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::string ToUtf8(TextView in) {
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    uint32_t c = in[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < in.size() && in[i + 1] >= 0xDC00 &&
        in[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (in[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

char16_t FoldCaseBeyondAscii(char16_t c) {
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
  if (c == 0xFF) return 0x178;
  if (c >= 0x100 && c <= 0x17F) {
    // Latin Extended-A pairs upper/lower as even/odd, except a shifted run.
    const bool shifted = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (shifted) return (c % 2 == 0) ? static_cast<char16_t>(c - 1) : c;
    if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
    return (c % 2 == 1) ? static_cast<char16_t>(c - 1) : c;
  }
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
  if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
  return c;
}

Text ToUpper(TextView text) {
  Text out(text);
  for (auto& c : out) c = FoldCase(c);
  return out;
}

int CompareIgnoreCase(TextView a, TextView b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const char16_t x = FoldCase(a[i]);
    const char16_t y = FoldCase(b[i]);
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() == b.size()) return 0;
  return a.size() < b.size() ? -1 : 1;
}

bool EqualsIgnoreCase(TextView a, TextView b) {
  return a.size() == b.size() && CompareIgnoreCase(a, b) == 0;
}

bool StartsWithIgnoreCase(TextView text, TextView prefix) {
  return text.size() >= prefix.size() &&
         CompareIgnoreCase(text.substr(0, prefix.size()), prefix) == 0;
}

size_t FindIgnoreCase(TextView haystack, TextView needle, size_t from) {
  if (needle.empty()) return from <= haystack.size() ? from : TextView::npos;
  if (haystack.size() < needle.size()) return TextView::npos;
  for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
    if (CompareIgnoreCase(haystack.substr(i, needle.size()), needle) == 0) return i;
  }
  return TextView::npos;
}

Text CutToCapacity(TextView value, size_t capacity) {
  if (value.size() <= capacity) return Text(value);
  size_t n = capacity;
  if (n > 0 && value[n - 1] >= 0xD800 && value[n - 1] <= 0xDBFF) --n;
  return Text(value.substr(0, n));
}

Text CutToBuffer(TextView value, size_t bufferCapacity) {
  return bufferCapacity == 0 ? Text() : CutToCapacity(value, bufferCapacity - 1);
}

void AppendUtf16Le(std::vector<uint8_t>& out, TextView text) {
  out.reserve(out.size() + 2 * text.size());
  for (const char16_t c : text) {
    out.push_back(static_cast<uint8_t>(c & 0xFF));
    out.push_back(static_cast<uint8_t>(c >> 8));
  }
}

Text TextFromUtf16Le(std::span<const uint8_t> bytes, bool stopAtZero) {
  Text text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto c = static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8));
    if (stopAtZero && c == 0) break;
    text.push_back(c);
  }
  return text;
}

std::optional<uint8_t> HexByte(char16_t high, char16_t low) {
  const int h = DigitValue(high);
  const int l = DigitValue(low);
  if (h >= 16 || l >= 16) return std::nullopt;
  return static_cast<uint8_t>(h * 16 + l);
}

int32_t ParseDecimalPrefix(TextView text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(text[i] - u'0');
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

AutoBaseNumber ScanNumberAutoBase(TextView text, uint64_t limit) {
  AutoBaseNumber number;
  size_t i = 0;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    number.negative = text[i] == u'-';
    ++i;
  }
  int base = 10;
  if (i < text.size() && text[i] == u'0') {
    const bool hex = i + 2 < text.size() && (text[i + 1] == u'x' || text[i + 1] == u'X') &&
                     DigitValue(text[i + 2]) < 16;
    base = hex ? 16 : 8;
    if (hex) i += 2;
  }
  const size_t start = i;
  for (; i < text.size() && DigitValue(text[i]) < base; ++i) {
    number.magnitude =
        number.magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(DigitValue(text[i]));
    if (number.magnitude > limit) number.magnitude = limit + 1;
  }
  if (i == start) return {};
  number.length = i;
  return number;
}

uint32_t ParseNumberAutoBase(TextView text, size_t* consumed) {
  size_t blanks = 0;
  while (blanks < text.size() &&
         (IsBlank(text[blanks]) || text[blanks] == u'\r' || text[blanks] == u'\n')) {
    ++blanks;
  }
  constexpr uint64_t kLimit = std::numeric_limits<uint32_t>::max();
  const AutoBaseNumber number = ScanNumberAutoBase(text.substr(blanks), kLimit);
  if (consumed) *consumed = number.length == 0 ? 0 : blanks + number.length;
  if (number.length == 0) return 0;
  if (number.magnitude > kLimit) return static_cast<uint32_t>(kLimit);
  const auto v = static_cast<uint32_t>(number.magnitude);
  return number.negative ? 0u - v : v;
}

TextView TrimBlanks(TextView text) {
  size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b])) ++b;
  while (e > b && IsBlank(text[e - 1])) --e;
  return text.substr(b, e - b);
}

Text DecimalText(int64_t value) {
  const std::string s = std::to_string(value);
  return Text(s.begin(), s.end());
}

bool ReplaceText(Text& text, size_t capacity, TextView search, TextView replacement) {
  if (search.empty()) return false;
  bool replaced = false;
  size_t pos = FindIgnoreCase(text, search, 0);
  while (pos != Text::npos) {
    if (text.size() - search.size() + replacement.size() > capacity) return true;
    text.replace(pos, search.size(), replacement);
    replaced = true;
    pos = FindIgnoreCase(text, search, pos + replacement.size());
  }
  return replaced;
}

}  // namespace tarn
