#include "platform/profile_struct_value.h"

namespace tarn::platform {
namespace {

constexpr char16_t kHexDigits[] = u"0123456789ABCDEF";

void AppendHexByte(Text& out, uint8_t byte) {
  out.push_back(kHexDigits[byte >> 4]);
  out.push_back(kHexDigits[byte & 0xF]);
}

// The byte written as two digits at `at`.
std::optional<uint8_t> HexByteAt(TextView text, size_t at) {
  return HexByte(text[at], text[at + 1]);
}

}  // namespace

Text FormatStructValue(std::span<const uint8_t> bytes) {
  Text out;
  out.reserve(bytes.size() * 2 + 2);
  uint8_t sum = 0;
  for (uint8_t b : bytes) {
    AppendHexByte(out, b);
    sum = static_cast<uint8_t>(sum + b);
  }
  AppendHexByte(out, sum);
  return out;
}

std::optional<std::vector<uint8_t>> ParseStructValue(TextView value, uint32_t size) {
  if (value.size() != uint64_t{size} * 2 + 2) return std::nullopt;
  std::vector<uint8_t> bytes;
  bytes.reserve(size);
  uint8_t sum = 0;
  for (size_t at = 0; at + 2 < value.size(); at += 2) {
    const auto byte = HexByteAt(value, at);
    if (!byte) return std::nullopt;
    bytes.push_back(*byte);
    sum = static_cast<uint8_t>(sum + *byte);
  }
  if (HexByteAt(value, value.size() - 2) != sum) return std::nullopt;
  return bytes;
}

}  // namespace tarn::platform
