// The line syntax of profile (INI) files as the system's profile functions
// read it, and the rules by which they fill a caller's buffer. Shared by the
// in-memory document and its tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/text.h"
#include "platform/profile_files.h"

namespace tarn::platform {

// One line of a file: [start, start + length) is its text, `next` the offset
// of the following line (after its CR, LF or CR LF).
struct ProfileLine {
  size_t start = 0;
  size_t length = 0;
  size_t next = 0;
};

// Splits at CR LF, CR and LF. The last line has next == start + length when
// the file does not end with a line break.
[[nodiscard]] std::vector<ProfileLine> SplitProfileLines(TextView text);

// Blanks around names and values in the file: space, tab and vertical tab.
[[nodiscard]] bool IsProfileBlank(char16_t c);
[[nodiscard]] TextView TrimProfileBlanks(TextView text);
// Spaces only: what the functions remove around the section and key names a
// caller passes, and at the end of a default value.
[[nodiscard]] TextView TrimSpaces(TextView text);
[[nodiscard]] TextView TrimTrailingSpaces(TextView text);

// The section name of a header line ("[name]", blanks allowed before the
// bracket and around the name; the name ends at the first "]" or at the end
// of the line, text after "]" is ignored); nullopt for other lines.
[[nodiscard]] std::optional<TextView> ParseSectionHeader(TextView line);

// A key line: the name before the first "=" and the value after it, both
// without surrounding blanks; a line without "=" is a name without value.
// nullopt for blank lines.
struct ProfileKeyLine {
  TextView name;
  std::optional<TextView> value;
};
[[nodiscard]] std::optional<ProfileKeyLine> ParseKeyLine(TextView line);

// A key whose name starts with ";" is a comment: never found, never listed.
[[nodiscard]] inline bool IsCommentKey(TextView name) {
  return !name.empty() && name[0] == u';';
}

// The value as GetPrivateProfileStringW returns it: one pair of enclosing
// double or single quotes removed.
[[nodiscard]] TextView StripEnclosingQuotes(TextView value);

// The number GetPrivateProfileIntW reads from a non-empty value: leading
// blanks and an optional sign, then decimal digits ("0x", "0o" and "0b"
// switch to hexadecimal, octal and binary) up to the first other character,
// in 32-bit arithmetic.
[[nodiscard]] int32_t ParseProfileInt(TextView value);

// A string cut at the buffer: at most capacity - 1 characters; returned is
// the number copied. Nothing for capacity 0.
[[nodiscard]] ProfileBuffer FillStringBuffer(TextView value, uint32_t capacity);

// A list (items each followed by a zero) put into a buffer: whole when one
// cell is left over after its final zero; otherwise cut to capacity - 2
// characters, the last item ending with its zero, and returned = capacity - 2.
// A capacity below 2 gives nothing.
[[nodiscard]] ProfileBuffer FillListBuffer(Text list, uint32_t capacity);

}  // namespace tarn::platform
