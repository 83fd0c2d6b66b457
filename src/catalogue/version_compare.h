// Version texts as the installation tests read and compare them.
#pragma once

#include <array>
#include <cstdint>

#include "base/text.h"

namespace tarn::catalogue {

// Four 16-bit parts, the first the most significant.
using VersionParts = std::array<uint16_t, 4>;

// Reads a version text such as "6.0.2900.2180" or "1,2": split at '.' and
// ',', each part read as an unsigned number with automatic base ("0x" hex, a
// leading "0" octal, else decimal) and cut to its low 16 bits. A part without
// digits counts as 0, missing parts count as 0 and parts after the fourth
// are ignored, so a text without any number reads as 0.0.0.0.
[[nodiscard]] VersionParts ParseVersionText(TextView text);

// Negative, zero or positive as `a` is less than, equal to or greater than
// `b`, the first part deciding.
[[nodiscard]] int CompareVersions(const VersionParts& a, const VersionParts& b);

// The four parts of a 64-bit fixed version (high half first) as
// "major.minor.build.revision".
[[nodiscard]] Text FormatFixedVersion(uint64_t version);

// Normalises a version string of a version resource: split at blanks, '.',
// ',' and '_' (empty pieces are skipped), each piece read as an unsigned
// number with automatic base (0 when it has no leading digits), written in
// decimal joined by '.', padded with ".0" to at least four parts. Returns an
// empty text when the string holds no digit at all, so the caller can fall
// back to the fixed version instead of reporting 0.0.0.0.
[[nodiscard]] Text NormaliseVersionString(TextView text);

}  // namespace tarn::catalogue
