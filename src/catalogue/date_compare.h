// Date texts as the file date test reads and compares them.
#pragma once

#include <array>
#include <cstdint>

#include "base/text.h"
#include "platform/system_info.h"

namespace tarn::catalogue {

// The fields a date text gives: year, month, day, hour, minute, second,
// millisecond, in that order; `count` of them were given.
struct DateFields {
  std::array<uint32_t, 7> values{};
  size_t count = 0;
};

// Reads "2006-05-31" or "2006-05-31T18:30:00": up to three decimal numbers
// (year, month, day), each ended by one arbitrary character or the end, then
// optionally 'T' (upper case only) and up to four numbers (hour, minute,
// second, millisecond), each ended by one arbitrary character. The 'T' is
// looked for only after the day (directly or after the day's ending
// character); before that any character ends a number. Reading stops at the
// first place where a number is expected and none stands. Extra numbers
// between the day and the 'T' are skipped, so the time part still counts;
// numbers after the fourth time field are ignored. Numbers saturate at
// 2^32 - 1.
[[nodiscard]] DateFields ParseDateText(TextView text);

// Compares `actual` with the fields of `wanted` that it gives, in order, the
// first difference deciding: negative, zero or positive as `actual` is
// earlier, equal or later. A text without any field compares equal.
[[nodiscard]] int CompareDate(const platform::SystemTime& actual, const DateFields& wanted);

}  // namespace tarn::catalogue
