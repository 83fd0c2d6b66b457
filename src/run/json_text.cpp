#include "run/json_text.h"

namespace tarn::run {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// The short escape of `unit`, or 0 when it has none.
char ShortEscape(char16_t unit) {
  switch (unit) {
    case u'"':
      return '"';
    case u'\\':
      return '\\';
    case u'\b':
      return 'b';
    case u'\f':
      return 'f';
    case u'\n':
      return 'n';
    case u'\r':
      return 'r';
    case u'\t':
      return 't';
    default:
      return 0;
  }
}

void AppendEscape(std::string& out, char16_t unit) {
  out += '\\';
  if (const char brief = ShortEscape(unit)) {
    out += brief;
    return;
  }
  out += "u00";
  out += kHexDigits[(unit >> 4) & 0xF];
  out += kHexDigits[unit & 0xF];
}

bool NeedsEscape(char16_t unit) {
  return unit < 0x20 || unit == u'"' || unit == u'\\';
}

std::optional<uint32_t> HexValue(char c) {
  if (c >= '0' && c <= '9') return static_cast<uint32_t>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<uint32_t>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<uint32_t>(c - 'A' + 10);
  return std::nullopt;
}

// Reads the string whose opening quote is at `at`; `at` ends after the
// closing quote.
std::optional<Text> ReadString(std::string_view line, size_t& at) {
  if (at >= line.size() || line[at] != '"') return std::nullopt;
  ++at;
  Text text;
  std::string raw;
  while (at < line.size()) {
    const char c = line[at++];
    if (c == '"') {
      text += FromUtf8(raw);
      return text;
    }
    if (c != '\\') {
      if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
      raw += c;
      continue;
    }
    if (at >= line.size()) return std::nullopt;
    const char escape = line[at++];
    text += FromUtf8(raw);
    raw.clear();
    if (escape == 'u') {
      if (at + 4 > line.size()) return std::nullopt;
      uint32_t unit = 0;
      for (int i = 0; i < 4; ++i) {
        const auto digit = HexValue(line[at++]);
        if (!digit) return std::nullopt;
        unit = unit * 16 + *digit;
      }
      text += static_cast<char16_t>(unit);
      continue;
    }
    constexpr std::string_view kEscapes = "\"\\/bfnrt";
    constexpr std::u16string_view kUnits = u"\"\\/\b\f\n\r\t";
    const size_t which = kEscapes.find(escape);
    if (which == std::string_view::npos) return std::nullopt;
    text += kUnits[which];
  }
  return std::nullopt;
}

}  // namespace

void AppendJsonString(std::string& out, TextView units) {
  out += '"';
  size_t run = 0;
  for (size_t i = 0; i < units.size(); ++i) {
    if (!NeedsEscape(units[i])) continue;
    out += ToUtf8(units.substr(run, i - run));
    AppendEscape(out, units[i]);
    run = i + 1;
  }
  out += ToUtf8(units.substr(run));
  out += '"';
}

std::optional<std::vector<Text>> ParseJsonStringArray(std::string_view line) {
  size_t at = 0;
  if (line.empty() || line[at++] != '[') return std::nullopt;
  std::vector<Text> items;
  if (at < line.size() && line[at] == ']')
    return at + 1 == line.size() ? std::optional(items) : std::nullopt;
  for (;;) {
    std::optional<Text> item = ReadString(line, at);
    if (!item) return std::nullopt;
    items.push_back(std::move(*item));
    if (at >= line.size()) return std::nullopt;
    const char next = line[at++];
    if (next == ']') break;
    if (next != ',') return std::nullopt;
  }
  if (at != line.size()) return std::nullopt;
  return items;
}

}  // namespace tarn::run
