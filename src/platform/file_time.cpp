#include "platform/file_time.h"

namespace tarn::platform {
namespace {

constexpr uint64_t kTicksPerMillisecond = 10'000;
constexpr uint64_t kTicksPerDay = 864'000'000'000;
constexpr uint64_t kLargestFileTime = 0x7FFFFFFFFFFFFFFFull;
// Days from 0000-03-01 (proleptic Gregorian) to 1601-01-01.
constexpr int64_t kDaysTo1601 = 584'694;

// Days since 0000-03-01 of a civil date (the era-based algorithm).
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = year / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146'097 + dayOfEra;
}

bool IsLeapYear(unsigned year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

unsigned DaysInMonth(unsigned year, unsigned month) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::optional<SystemTime> FileTimeToCalendar(uint64_t fileTime) {
  if (fileTime > kLargestFileTime) return std::nullopt;
  const int64_t days = static_cast<int64_t>(fileTime / kTicksPerDay) + kDaysTo1601;
  const uint64_t inDay = (fileTime % kTicksPerDay) / kTicksPerMillisecond;
  const int64_t era = days / 146'097;
  const int64_t dayOfEra = days - era * 146'097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36'524 - dayOfEra / 146'096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int64_t month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
  SystemTime time;
  time.year = static_cast<uint16_t>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
  time.month = static_cast<uint16_t>(month);
  time.day = static_cast<uint16_t>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  // 1601-01-01 was a Monday.
  time.dayOfWeek = static_cast<uint16_t>((fileTime / kTicksPerDay + 1) % 7);
  time.hour = static_cast<uint16_t>(inDay / 3'600'000);
  time.minute = static_cast<uint16_t>(inDay / 60'000 % 60);
  time.second = static_cast<uint16_t>(inDay / 1000 % 60);
  time.milliseconds = static_cast<uint16_t>(inDay % 1000);
  return time;
}

std::optional<uint64_t> CalendarToFileTime(const SystemTime& t) {
  if (t.year < 1601 || t.year > 30827 || t.month < 1 || t.month > 12 || t.day < 1 ||
      t.day > DaysInMonth(t.year, t.month) || t.hour > 23 || t.minute > 59 || t.second > 59 ||
      t.milliseconds > 999) {
    return std::nullopt;
  }
  const int64_t days = DaysFromCivil(t.year, t.month, t.day) - kDaysTo1601;
  const uint64_t milliseconds =
      ((uint64_t{t.hour} * 60 + t.minute) * 60 + t.second) * 1000 + t.milliseconds;
  return static_cast<uint64_t>(days) * kTicksPerDay + milliseconds * kTicksPerMillisecond;
}

uint64_t FileTimeFromUnixSeconds(uint32_t seconds) {
  // 1970-01-01 is 11 644 473 600 seconds after 1601-01-01.
  constexpr uint64_t kTicksPerSecond = 10'000'000;
  constexpr uint64_t kUnixEpoch = 116'444'736'000'000'000;
  return kUnixEpoch + uint64_t{seconds} * kTicksPerSecond;
}

std::optional<SystemTime> SystemInfo::FileTimeToLocalTime(uint64_t fileTime) {
  return FileTimeToCalendar(fileTime);
}

}  // namespace tarn::platform
