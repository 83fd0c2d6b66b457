// The text encodings a profile file may be stored in, as the system's profile
// functions tell them apart: a UTF-16 LE byte-order mark, a UTF-8 byte-order
// mark, or neither (ANSI, read with the system's ANSI code page; see
// ansi_code_pages.h for the pages known here).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "base/text.h"
#include "platform/ansi_code_pages.h"

namespace tarn::platform {

enum class ProfileEncoding { kAnsi, kUtf8, kUtf16 };

struct DecodedProfileText {
  ProfileEncoding encoding = ProfileEncoding::kAnsi;
  Text text;
};

// Detects the encoding from the byte-order mark and decodes the rest, an
// unmarked file in `ansiCodePage`. Never fails: an odd last byte of a UTF-16
// file is dropped, malformed UTF-8 becomes U+FFFD, in a single-byte page
// every byte maps to one character.
[[nodiscard]] DecodedProfileText DecodeProfileText(std::span<const uint8_t> bytes,
                                                   uint32_t ansiCodePage = kCodePageWindows1252);

// The bytes of `text` in `encoding`, with the byte-order mark of UTF-16 and
// UTF-8. Characters that a single-byte `ansiCodePage` cannot hold become '?'
// in ANSI, as WideCharToMultiByte writes them (a surrogate pair becomes one
// '?').
[[nodiscard]] std::vector<uint8_t> EncodeProfileText(TextView text, ProfileEncoding encoding,
                                                     uint32_t ansiCodePage = kCodePageWindows1252);

// Unmarked bytes in `codePage`; never fails.
[[nodiscard]] Text DecodeAnsi(std::span<const uint8_t> bytes,
                              uint32_t codePage = kCodePageWindows1252);

// Windows-1252 both ways. The five bytes the code page leaves undefined map to
// the control characters of the same value, as MultiByteToWideChar maps them.
[[nodiscard]] char16_t AnsiToChar(uint8_t byte);
// False when `c` has no Windows-1252 byte.
[[nodiscard]] bool CharToAnsi(char16_t c, uint8_t* byte);

}  // namespace tarn::platform
