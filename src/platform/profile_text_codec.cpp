#include "platform/profile_text_codec.h"

#include <array>
#include <string>

namespace tarn::platform {
namespace {

// Characters of the bytes 0x80 to 0x9F; the rest of Windows-1252 equals Latin-1.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

bool StartsWith(std::span<const uint8_t> bytes, std::initializer_list<uint8_t> mark) {
  if (bytes.size() < mark.size()) return false;
  size_t i = 0;
  for (uint8_t b : mark) {
    if (bytes[i++] != b) return false;
  }
  return true;
}

bool IsHighSurrogate(char16_t c) {
  return c >= 0xD800 && c <= 0xDBFF;
}
bool IsLowSurrogate(char16_t c) {
  return c >= 0xDC00 && c <= 0xDFFF;
}

std::vector<uint8_t> EncodeAnsi(TextView text) {
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint8_t b = '?';
    if (!CharToAnsi(text[i], &b)) b = '?';
    const bool pair =
        IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
    if (pair) ++i;
    bytes.push_back(b);
  }
  return bytes;
}

}  // namespace

char16_t AnsiToChar(uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return kHighControls[byte - 0x80];
  return byte;
}

Text DecodeAnsi(std::span<const uint8_t> bytes) {
  Text text;
  text.reserve(bytes.size());
  for (uint8_t b : bytes) text.push_back(AnsiToChar(b));
  return text;
}

bool CharToAnsi(char16_t c, uint8_t* byte) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
    *byte = static_cast<uint8_t>(c);
    return true;
  }
  for (size_t i = 0; i < kHighControls.size(); ++i) {
    if (kHighControls[i] == c) {
      *byte = static_cast<uint8_t>(0x80 + i);
      return true;
    }
  }
  return false;
}

DecodedProfileText DecodeProfileText(std::span<const uint8_t> bytes) {
  if (StartsWith(bytes, {0xFF, 0xFE})) {
    return {ProfileEncoding::kUtf16, TextFromUtf16Le(bytes.subspan(2), /*stopAtZero=*/false)};
  }
  if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
    const auto rest = bytes.subspan(3);
    const std::string_view utf8(reinterpret_cast<const char*>(rest.data()), rest.size());
    return {ProfileEncoding::kUtf8, FromUtf8(utf8)};
  }
  return {ProfileEncoding::kAnsi, DecodeAnsi(bytes)};
}

std::vector<uint8_t> EncodeProfileText(TextView text, ProfileEncoding encoding) {
  switch (encoding) {
    case ProfileEncoding::kUtf16: {
      std::vector<uint8_t> bytes = {0xFF, 0xFE};
      AppendUtf16Le(bytes, text);
      return bytes;
    }
    case ProfileEncoding::kUtf8: {
      const std::string utf8 = ToUtf8(text);
      std::vector<uint8_t> bytes = {0xEF, 0xBB, 0xBF};
      bytes.insert(bytes.end(), utf8.begin(), utf8.end());
      return bytes;
    }
    case ProfileEncoding::kAnsi:
      break;
  }
  return EncodeAnsi(text);
}

}  // namespace tarn::platform
