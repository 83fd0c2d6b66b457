#include "platform/security.h"

#include <cstdio>
#include <string>

namespace tarn::platform {

namespace {

constexpr size_t kMaxSubAuthorities = 15;

uint64_t AuthorityValue(const std::array<uint8_t, 6>& authority) {
  uint64_t value = 0;
  for (uint8_t byte : authority) value = (value << 8) | byte;
  return value;
}

// Reads decimal digits from `text` at `pos`; nullopt when there are none or
// the number exceeds `limit`.
std::optional<uint64_t> ReadNumber(TextView text, size_t& pos, uint64_t limit) {
  const size_t start = pos;
  uint64_t value = 0;
  while (pos < text.size() && text[pos] >= u'0' && text[pos] <= u'9') {
    value = value * 10 + static_cast<uint64_t>(text[pos] - u'0');
    if (value > limit) return std::nullopt;
    ++pos;
  }
  if (pos == start) return std::nullopt;
  return value;
}

}  // namespace

Text Sid::ToText() const {
  std::string out = "S-" + std::to_string(revision) + "-";
  const uint64_t authorityValue = AuthorityValue(authority);
  if (authorityValue >> 32) {
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%012llX",
                  static_cast<unsigned long long>(authorityValue));
    out += buffer;
  } else {
    out += std::to_string(authorityValue);
  }
  for (uint32_t sub : subAuthorities) out += "-" + std::to_string(sub);
  return FromUtf8(out);
}

std::vector<uint8_t> Sid::ToBytes() const {
  std::vector<uint8_t> bytes;
  bytes.push_back(revision);
  bytes.push_back(static_cast<uint8_t>(subAuthorities.size()));
  bytes.insert(bytes.end(), authority.begin(), authority.end());
  for (uint32_t sub : subAuthorities) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<uint8_t>(sub >> shift));
  }
  return bytes;
}

std::optional<Sid> Sid::FromText(TextView text) {
  if (text.size() < 2 || (text[0] != u'S' && text[0] != u's') || text[1] != u'-') {
    return std::nullopt;
  }
  size_t pos = 2;
  Sid sid;
  const auto revision = ReadNumber(text, pos, 255);
  if (!revision || pos >= text.size() || text[pos] != u'-') return std::nullopt;
  sid.revision = static_cast<uint8_t>(*revision);
  ++pos;
  const auto authorityValue = ReadNumber(text, pos, 0xFFFFFFFFull);
  if (!authorityValue) return std::nullopt;
  for (int i = 5; i >= 0; --i) {
    sid.authority[static_cast<size_t>(i)] = static_cast<uint8_t>(*authorityValue >> (8 * (5 - i)));
  }
  while (pos < text.size()) {
    if (text[pos] != u'-') return std::nullopt;
    ++pos;
    const auto sub = ReadNumber(text, pos, 0xFFFFFFFFull);
    if (!sub || sid.subAuthorities.size() == kMaxSubAuthorities) return std::nullopt;
    sid.subAuthorities.push_back(static_cast<uint32_t>(*sub));
  }
  return sid;
}

std::optional<Sid> Sid::FromBytes(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 8) return std::nullopt;
  const size_t count = bytes[1];
  if (count > kMaxSubAuthorities || bytes.size() != 8 + 4 * count) return std::nullopt;
  Sid sid;
  sid.revision = bytes[0];
  for (size_t i = 0; i < 6; ++i) sid.authority[i] = bytes[2 + i];
  for (size_t i = 0; i < count; ++i) {
    uint32_t sub = 0;
    for (size_t b = 0; b < 4; ++b) sub |= static_cast<uint32_t>(bytes[8 + 4 * i + b]) << (8 * b);
    sid.subAuthorities.push_back(sub);
  }
  return sid;
}

}  // namespace tarn::platform
