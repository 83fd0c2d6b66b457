// A profile (INI) file as its lines stand, for whoever reports on the file
// to a person: every section header and key line with the line and column
// where it stands, duplicates and all. The profile functions answer from the
// first of each name; an outline keeps the others so that they can be named.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "base/text.h"
#include "platform/ansi_code_pages.h"

namespace tarn::platform {

// Where a piece of the file starts: line and column count from 1, columns in
// UTF-16 code units of the decoded line.
struct TextPosition {
  uint32_t line = 1;
  uint32_t column = 1;
};

// One key line: the name and value as the profile functions read them (the
// value without its blanks and without one pair of enclosing quotes).
struct OutlineKey {
  Text name;
  std::optional<Text> value;  // nullopt: the line has no "="
  TextPosition at;            // the first character of the name
  TextPosition valueAt;       // the first character of the value
};

struct OutlineSection {
  Text name;
  TextPosition at;  // the "[" of the header
  std::vector<OutlineKey> keys;
};

struct ProfileOutline {
  // Key lines before the first header: no profile function reads them.
  std::vector<OutlineKey> preamble;
  std::vector<OutlineSection> sections;
};

// Reads `bytes` with the profile functions' rules (encodings by byte-order
// mark, an unmarked file in `ansiCodePage`, comment keys beginning with ";"
// left out). Never fails; the time is linear in the size of the file. The
// outline holds copies of the file's values (passwords too): the caller wipes
// them (WipeOutline) when done.
[[nodiscard]] ProfileOutline OutlineProfile(std::span<const uint8_t> bytes,
                                            uint32_t ansiCodePage = kCodePageWindows1252);

// Overwrites every value of the outline before it is freed.
void WipeOutline(ProfileOutline& outline);

}  // namespace tarn::platform
