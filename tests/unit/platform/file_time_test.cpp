#include "platform/file_time.h"

#include <gtest/gtest.h>

namespace tarn::platform {
namespace {

std::string Show(const SystemTime& t) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%04u-%02u-%02u (%u) %02u:%02u:%02u.%03u", t.year, t.month,
                t.day, t.dayOfWeek, t.hour, t.minute, t.second, t.milliseconds);
  return buffer;
}

TEST(FileTimeTest, ConvertsKnownInstants) {
  struct Row {
    uint64_t fileTime;
    const char* calendar;
  } rows[] = {
      {0, "1601-01-01 (1) 00:00:00.000"},
      {116444736000000000ull, "1970-01-01 (4) 00:00:00.000"},
      {116444736000000000ull + 951782400ull * 10'000'000 + 123'456'789,
       "2000-02-29 (2) 00:00:12.345"},
      {133000000000000000ull, "2022-06-18 (6) 04:26:40.000"},
      {0x7FFFFFFFFFFFFFFFull, "30828-09-14 (4) 02:48:05.477"},
  };
  for (const auto& row : rows) {
    const auto t = FileTimeToCalendar(row.fileTime);
    ASSERT_TRUE(t.has_value()) << row.fileTime;
    EXPECT_EQ(Show(*t), row.calendar) << row.fileTime;
  }
  EXPECT_FALSE(FileTimeToCalendar(0x8000000000000000ull).has_value());
}

TEST(FileTimeTest, CalendarRoundTripsAndRejectsImpossibleDates) {
  for (const SystemTime t :
       {SystemTime{1601, 1, 0, 1, 0, 0, 0, 0}, SystemTime{2000, 2, 0, 29, 23, 59, 59, 999},
        SystemTime{2006, 5, 0, 31, 18, 30, 15, 250}, SystemTime{2100, 12, 0, 31, 12, 0, 0, 0}}) {
    const auto fileTime = CalendarToFileTime(t);
    ASSERT_TRUE(fileTime.has_value()) << Show(t);
    const auto back = FileTimeToCalendar(*fileTime);
    ASSERT_TRUE(back.has_value());
    SystemTime expected = t;
    expected.dayOfWeek = back->dayOfWeek;
    EXPECT_EQ(Show(*back), Show(expected));
  }
  for (const SystemTime t :
       {SystemTime{2001, 2, 0, 29, 0, 0, 0, 0}, SystemTime{1900, 2, 0, 29, 0, 0, 0, 0},
        SystemTime{1600, 12, 0, 31, 0, 0, 0, 0}, SystemTime{2006, 13, 0, 1, 0, 0, 0, 0},
        SystemTime{2006, 4, 0, 31, 0, 0, 0, 0}, SystemTime{2006, 1, 0, 1, 24, 0, 0, 0},
        SystemTime{2006, 1, 0, 1, 0, 0, 0, 1000}}) {
    EXPECT_FALSE(CalendarToFileTime(t).has_value()) << Show(t);
  }
}

}  // namespace
}  // namespace tarn::platform
