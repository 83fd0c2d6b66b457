#include "platform/profile_text_codec.h"

#include <string>
#include <string_view>

#include "base/wipe.h"

namespace tarn::platform {
namespace {

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

// `prefix` then the UTF-8 form of `text`, in one allocation, with the
// intermediate copy wiped: profile texts may hold passwords.
std::vector<uint8_t> Utf8Bytes(TextView text, std::initializer_list<uint8_t> prefix) {
  std::string utf8 = ToUtf8(text);
  std::vector<uint8_t> bytes;
  bytes.reserve(prefix.size() + utf8.size());
  bytes.insert(bytes.end(), prefix.begin(), prefix.end());
  bytes.insert(bytes.end(), utf8.begin(), utf8.end());
  SecureZero(utf8.data(), utf8.size());
  return bytes;
}

std::vector<uint8_t> EncodeAnsi(TextView text, uint32_t codePage) {
  if (SupportedAnsiCodePage(codePage) == kCodePageUtf8) return Utf8Bytes(text, {});
  std::vector<uint8_t> bytes;
  bytes.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    uint8_t b = '?';
    if (!CharToSingleByte(text[i], codePage, &b)) b = '?';
    const bool pair =
        IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1]);
    if (pair) ++i;
    bytes.push_back(b);
  }
  return bytes;
}

}  // namespace

char16_t AnsiToChar(uint8_t byte) {
  return SingleByteToChar(byte, kCodePageWindows1252);
}

Text DecodeAnsi(std::span<const uint8_t> bytes, uint32_t codePage) {
  if (SupportedAnsiCodePage(codePage) == kCodePageUtf8) {
    return FromUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  }
  Text text;
  text.reserve(bytes.size());
  for (uint8_t b : bytes) text.push_back(SingleByteToChar(b, codePage));
  return text;
}

bool CharToAnsi(char16_t c, uint8_t* byte) {
  return CharToSingleByte(c, kCodePageWindows1252, byte);
}

DecodedProfileText DecodeProfileText(std::span<const uint8_t> bytes, uint32_t ansiCodePage) {
  if (StartsWith(bytes, {0xFF, 0xFE})) {
    return {ProfileEncoding::kUtf16, TextFromUtf16Le(bytes.subspan(2), /*stopAtZero=*/false)};
  }
  if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
    const auto rest = bytes.subspan(3);
    const std::string_view utf8(reinterpret_cast<const char*>(rest.data()), rest.size());
    return {ProfileEncoding::kUtf8, FromUtf8(utf8)};
  }
  return {ProfileEncoding::kAnsi, DecodeAnsi(bytes, ansiCodePage)};
}

std::vector<uint8_t> EncodeProfileText(TextView text, ProfileEncoding encoding,
                                       uint32_t ansiCodePage) {
  switch (encoding) {
    case ProfileEncoding::kUtf16: {
      std::vector<uint8_t> bytes = {0xFF, 0xFE};
      AppendUtf16Le(bytes, text);
      return bytes;
    }
    case ProfileEncoding::kUtf8:
      return Utf8Bytes(text, {0xEF, 0xBB, 0xBF});
    case ProfileEncoding::kAnsi:
      break;
  }
  return EncodeAnsi(text, ansiCodePage);
}

}  // namespace tarn::platform
