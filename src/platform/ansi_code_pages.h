// The ANSI code pages a Windows system may read unmarked text with, as
// MultiByteToWideChar and WideCharToMultiByte (without best fit) convert it.
// The single-byte Windows pages (874 and 1250 to 1258) are held as tables,
// 65001 is UTF-8. Double-byte pages (932, 936, 949, 950) and every other
// page are read as Windows-1252: ASCII, and so every name and value written
// in it, stays right, but their other characters are not the system's.
#pragma once

#include <cstdint>

namespace tarn::platform {

inline constexpr uint32_t kCodePageWindows1252 = 1252;
inline constexpr uint32_t kCodePageUtf8 = 65001;

// The code page whose rules this code applies for `codePage`: the page
// itself when it is known here, Windows-1252 otherwise.
[[nodiscard]] uint32_t SupportedAnsiCodePage(uint32_t codePage);

// The character of one byte in a single-byte page (Windows-1252 for UTF-8 and
// unknown pages). Bytes a page leaves undefined map as the system maps them:
// most to the control character of the same value, a few to private-use
// characters. Never fails.
[[nodiscard]] char16_t SingleByteToChar(uint8_t byte, uint32_t codePage);

// The byte of `c` in that single-byte page; false when the page has none.
[[nodiscard]] bool CharToSingleByte(char16_t c, uint32_t codePage, uint8_t* byte);

}  // namespace tarn::platform
