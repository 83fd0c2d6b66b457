// Conversions between file times (100-nanosecond intervals since 1601-01-01)
// and calendar fields, with the rules of FileTimeToSystemTime, written
// portably for backends that have no system call for them.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/system_info.h"

namespace tarn::platform {

// FileTimeToSystemTime: nullopt for times at or beyond 0x8000000000000000,
// which the system refuses. The day of the week is filled in.
[[nodiscard]] std::optional<SystemTime> FileTimeToCalendar(uint64_t fileTime);

// SystemTimeToFileTime: nullopt for fields out of range (month 1-12, a day
// that exists in that month, hour < 24, minute and second < 60,
// milliseconds < 1000, year 1601-30827). The day of the week is ignored.
[[nodiscard]] std::optional<uint64_t> CalendarToFileTime(const SystemTime& time);

// The file time of a moment given in seconds since 1970-01-01 UTC, as the
// time stamps of program file headers are.
[[nodiscard]] uint64_t FileTimeFromUnixSeconds(uint32_t seconds);

}  // namespace tarn::platform
