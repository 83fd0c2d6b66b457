#include "platform/profile_syntax.h"

#include <algorithm>

namespace tarn::platform {
namespace {

TextView UpToNul(TextView text) {
  const size_t nul = text.find(u'\0');
  return nul == TextView::npos ? text : text.substr(0, nul);
}

TextView TrimLeadingBlanks(TextView text) {
  size_t begin = 0;
  while (begin < text.size() && IsProfileBlank(text[begin])) ++begin;
  return text.substr(begin);
}

uint32_t BaseFromPrefix(TextView text, size_t* at) {
  if (*at + 1 >= text.size() || text[*at] != u'0') return 10;
  const char16_t marker = text[*at + 1];
  const uint32_t base = marker == u'x' ? 16 : marker == u'o' ? 8 : marker == u'b' ? 2 : 10;
  if (base != 10) *at += 2;
  return base;
}

}  // namespace

std::vector<ProfileLine> SplitProfileLines(TextView text) {
  std::vector<ProfileLine> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = pos;
    while (end < text.size() && text[end] != u'\r' && text[end] != u'\n') ++end;
    size_t next = end;
    if (next < text.size()) {
      const bool crlf = text[next] == u'\r' && next + 1 < text.size() && text[next + 1] == u'\n';
      next += crlf ? 2 : 1;
    }
    lines.push_back({pos, end - pos, next});
    pos = next;
  }
  return lines;
}

bool IsProfileBlank(char16_t c) {
  return c == u' ' || c == u'\t' || c == u'\v';
}

TextView TrimProfileBlanks(TextView text) {
  text = TrimLeadingBlanks(text);
  size_t end = text.size();
  while (end > 0 && IsProfileBlank(text[end - 1])) --end;
  return text.substr(0, end);
}

TextView TrimSpaces(TextView text) {
  size_t begin = 0;
  while (begin < text.size() && text[begin] == u' ') ++begin;
  return TrimTrailingSpaces(text.substr(begin));
}

TextView TrimTrailingSpaces(TextView text) {
  size_t end = text.size();
  while (end > 0 && text[end - 1] == u' ') --end;
  return text.substr(0, end);
}

std::optional<TextView> ParseSectionHeader(TextView line) {
  line = TrimLeadingBlanks(line);
  if (line.empty() || line[0] != u'[') return std::nullopt;
  TextView inside = line.substr(1);
  const size_t close = inside.find(u']');
  if (close != TextView::npos) inside = inside.substr(0, close);
  return TrimProfileBlanks(UpToNul(inside));
}

std::optional<ProfileKeyLine> ParseKeyLine(TextView line) {
  line = TrimProfileBlanks(line);
  if (line.empty()) return std::nullopt;
  const size_t equals = line.find(u'=');
  if (equals == TextView::npos) return ProfileKeyLine{UpToNul(line), std::nullopt};
  const TextView name = TrimProfileBlanks(line.substr(0, equals));
  const TextView value = TrimProfileBlanks(line.substr(equals + 1));
  return ProfileKeyLine{UpToNul(name), UpToNul(value)};
}

TextView StripEnclosingQuotes(TextView value) {
  if (value.size() < 2) return value;
  const char16_t first = value.front();
  if ((first == u'"' || first == u'\'') && value.back() == first) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

int32_t ParseProfileInt(TextView value) {
  size_t at = 0;
  while (at < value.size() && value[at] <= u' ') ++at;
  bool negative = false;
  if (at < value.size() && (value[at] == u'+' || value[at] == u'-')) {
    negative = value[at] == u'-';
    ++at;
  }
  const uint32_t base = BaseFromPrefix(value, &at);
  uint32_t result = 0;
  for (; at < value.size(); ++at) {
    const int digit = DigitValue(value[at]);
    if (static_cast<uint32_t>(digit) >= base) break;
    result = result * base + static_cast<uint32_t>(digit);
  }
  return static_cast<int32_t>(negative ? 0u - result : result);
}

ProfileBuffer FillStringBuffer(TextView value, uint32_t capacity) {
  if (capacity == 0) return {};
  const size_t copied = std::min<size_t>(value.size(), capacity - 1);
  return {Text(value.substr(0, copied)), static_cast<uint32_t>(copied)};
}

ProfileBuffer FillListBuffer(Text list, uint32_t capacity) {
  if (capacity < 2) return {};
  if (list.size() + 2 <= capacity) {
    const auto returned = static_cast<uint32_t>(list.size());
    return {std::move(list), returned};
  }
  list.resize(capacity - 2);
  if (!list.empty() && list.back() != u'\0') list.push_back(u'\0');
  return {std::move(list), capacity - 2};
}

}  // namespace tarn::platform
