#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include <xtbasis/dateforms.h>

namespace {

int Week(int year, int month, int day) {
  COleDateTime date(year, month, day, 0, 0, 0);
  return GetCalWeekNo(date);
}

}  // namespace

TEST(CalendarWeek, TurnOfTheYear) {
  EXPECT_EQ(Week(2026, 1, 1), 1);
  EXPECT_EQ(Week(2025, 12, 29), 1);
  EXPECT_EQ(Week(2025, 12, 28), 52);
  EXPECT_EQ(Week(2021, 1, 3), 53);
  EXPECT_EQ(Week(2021, 1, 4), 1);
  EXPECT_EQ(Week(2020, 12, 31), 53);
  EXPECT_EQ(Week(2024, 12, 30), 1);
  // The time of day does not move the week.
  COleDateTime evening(2025, 12, 28, 23, 59, 59);
  EXPECT_EQ(GetCalWeekNo(evening), 52);
}

TEST(CalendarWeek, InvalidDateGivesZero) {
  COleDateTime invalid;
  invalid.SetStatus(COleDateTime::invalid);
  EXPECT_EQ(GetCalWeekNo(invalid), 0);
}

// Every day from 1970 to 2100 against glibc's own ISO week.
TEST(CalendarWeek, AgreesWithStrftimeEveryDay1970To2100) {
  int checked = 0;
  for (time_t t = 0;; t += 86400) {
    struct tm utc {};
    gmtime_r(&t, &utc);
    if (utc.tm_year + 1900 > 2100) break;
    char peer[4];
    strftime(peer, sizeof peer, "%V", &utc);
    COleDateTime date(utc.tm_year + 1900, utc.tm_mon + 1, utc.tm_mday, 12, 0, 0);
    ASSERT_EQ(GetCalWeekNo(date), std::atoi(peer))
        << utc.tm_year + 1900 << "-" << utc.tm_mon + 1 << "-" << utc.tm_mday;
    ++checked;
  }
  EXPECT_EQ(checked, 47847);  // days of 1970-01-01 .. 2100-12-31
}
