#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <ctime>
#include <xtbasis/platform/timeclasses.h>

namespace {

class TimeClasses : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
  }
  void TearDown() override {
    unsetenv("TZ");
    tzset();
  }
};

HRESULT ErrorOf(void (*make)()) {
  try {
    make();
  } catch (const CAtlException& e) {
    return e;
  }
  return S_OK;
}

TEST_F(TimeClasses, CTimeFromLocalPartsUsesTheTzDatabase) {
  const CTime winter(2026, 12, 4, 10, 30, 15);
  EXPECT_EQ(winter.GetTime(), 1796376615);  // 09:30:15 UTC
  EXPECT_EQ(winter.GetYear(), 2026);
  EXPECT_EQ(winter.GetMonth(), 12);
  EXPECT_EQ(winter.GetDay(), 4);
  EXPECT_EQ(winter.GetHour(), 10);
  EXPECT_EQ(winter.GetMinute(), 30);
  EXPECT_EQ(winter.GetSecond(), 15);
  EXPECT_EQ(winter.GetDayOfWeek(), 6);  // Friday, 1 = Sunday
  EXPECT_EQ(CTime(2026, 7, 1, 12, 0, 0).GetTime(), 1782900000);  // summer time: 10:00 UTC
  SYSTEMTIME parts{2026, 12, 0, 4, 10, 30, 15, 0};
  EXPECT_EQ(CTime(parts).GetTime(), winter.GetTime());
  SYSTEMTIME back{};
  ASSERT_TRUE(winter.GetAsSystemTime(back));
  EXPECT_EQ(back.wDayOfWeek, 5);
  EXPECT_EQ(back.wHour, 10);
}

TEST_F(TimeClasses, CTimeRefusesPartsAndTimesOutOfRange) {
  EXPECT_EQ(ErrorOf([] { CTime(1899, 12, 31, 0, 0, 0); }), E_INVALIDARG);
  EXPECT_EQ(ErrorOf([] { CTime(2026, 13, 1, 0, 0, 0); }), E_INVALIDARG);
  EXPECT_EQ(ErrorOf([] { CTime(2026, 1, 32, 0, 0, 0); }), E_INVALIDARG);
  EXPECT_EQ(ErrorOf([] { CTime(2026, 1, 1, 24, 0, 0); }), E_INVALIDARG);
  EXPECT_EQ(ErrorOf([] { CTime(2026, 1, 1, 0, 60, 0); }), E_INVALIDARG);
  // Local midnight of 1970-01-01 in Berlin lies before the epoch.
  EXPECT_EQ(ErrorOf([] { CTime(1970, 1, 1, 0, 0, 0); }), E_INVALIDARG);
  EXPECT_EQ(ErrorOf([] { CTime(3001, 1, 2, 0, 0, 0); }), E_INVALIDARG);
  EXPECT_EQ(ErrorOf([] { CTime(-1).Format("%Y"); }), E_INVALIDARG);
  EXPECT_EQ(CTime(-1).GetYear(), 0);
  EXPECT_EQ(CTime(-1).GetHour(), -1);
  EXPECT_EQ(CTime(1970, 1, 1, 1, 0, 0).GetTime(), 0);
  // A day past the month's end is carried over as the runtime does.
  EXPECT_EQ(CTime(2026, 2, 31, 0, 0, 0).GetMonth(), 3);
}

TEST_F(TimeClasses, FormatTakesStrftimeCodesAndTheHashFlag) {
  const CTime t(2026, 3, 4, 7, 5, 9);
  EXPECT_EQ(t.Format("%d.%m.%Y %H:%M:%S"), "04.03.2026 07:05:09");
  EXPECT_EQ(t.Format("%#d.%#m.%y %#H Uhr"), "4.3.26 7 Uhr");
  EXPECT_EQ(t.Format("%A %B %%"), "Wednesday March %");
  EXPECT_EQ(t.Format("Zeit \xFC%"), "Zeit \xFC");  // literal 1252 stays, a lone '%' gives nothing
  EXPECT_EQ(t.FormatGmt("%H:%M"), "06:05");
  EXPECT_EQ(t.Format(""), "");
}

TEST_F(TimeClasses, TimeSpansAndArithmetic) {
  const CTimeSpan span(2, 3, 4, 5);
  EXPECT_EQ(span.GetTotalSeconds(), 2 * 86400 + 3 * 3600 + 4 * 60 + 5);
  EXPECT_EQ(span.GetDays(), 2);
  EXPECT_EQ(span.GetHours(), 3);
  EXPECT_EQ(span.GetMinutes(), 4);
  EXPECT_EQ(span.GetSeconds(), 5);
  EXPECT_EQ(span.GetTotalHours(), 51);
  const CTime start(2026, 3, 28, 12, 0, 0);
  const CTime later = start + CTimeSpan(1, 0, 0, 0);  // across the change to summer time
  EXPECT_EQ(later.GetHour(), 13);
  EXPECT_EQ((later - start).GetTotalSeconds(), 86400);
  EXPECT_TRUE(start < later);
  CTime moving = later;
  moving -= CTimeSpan(86400);
  EXPECT_EQ(moving, start);
}

TEST_F(TimeClasses, OleDateCountsDaysFrom18991230) {
  COleDateTime date;
  EXPECT_EQ(date.SetDateTime(2026, 12, 4, 6, 0, 0), COleDateTime::valid);
  EXPECT_DOUBLE_EQ(date.m_dt, 46360.25);
  EXPECT_EQ(date.GetDayOfWeek(), 6);
  EXPECT_EQ(date.GetDayOfYear(), 338);
  EXPECT_EQ(date.GetHour(), 6);
  EXPECT_EQ(COleDateTime(1899, 12, 30, 0, 0, 0).m_dt, 0.0);
  EXPECT_EQ(COleDateTime(100, 1, 1, 0, 0, 0).m_dt, -657434.0);
  EXPECT_EQ(COleDateTime(2024, 12, 31, 0, 0, 0).GetDayOfYear(), 366);
  // Rounded to the nearest second, also into the next day.
  const COleDateTime almost(46360.9999999);
  EXPECT_EQ(almost.GetDay(), 5);
  EXPECT_EQ(almost.GetHour(), 0);
}

TEST_F(TimeClasses, OleDatesBeforeTheEpochCountTheFractionForward) {
  const COleDateTime early(-1.25);
  EXPECT_EQ(early.GetYear(), 1899);
  EXPECT_EQ(early.GetMonth(), 12);
  EXPECT_EQ(early.GetDay(), 29);
  EXPECT_EQ(early.GetHour(), 6);
  EXPECT_DOUBLE_EQ(COleDateTime(1899, 12, 29, 18, 0, 0).m_dt, -1.75);
  EXPECT_EQ(COleDateTime(-0.5).GetDay(), 30);  // the same time of day as 0.5
  EXPECT_EQ(COleDateTime(-0.5).GetHour(), 12);

  // Arithmetic and order follow time, not the raw number.
  EXPECT_DOUBLE_EQ((early + COleDateTimeSpan(1.0)).m_dt, 0.25);
  EXPECT_DOUBLE_EQ((COleDateTime(0.25) - COleDateTimeSpan(0.5)).m_dt, -1.75);
  EXPECT_DOUBLE_EQ((COleDateTime(0.5) - early).GetTotalDays(), 1.25);
  EXPECT_TRUE(COleDateTime(-1.0) < early);
  EXPECT_TRUE(early < COleDateTime(0.0));
  EXPECT_TRUE(COleDateTime(-2.5) < COleDateTime(-1.0));
}

TEST_F(TimeClasses, OleDateStatusInvalidAndNull) {
  COleDateTime date(2026, 1, 1, 0, 0, 0);
  const DATE before = date.m_dt;
  EXPECT_EQ(date.SetDate(2026, 2, 29), COleDateTime::invalid);
  EXPECT_EQ(date.m_dt, before);
  EXPECT_EQ(date.GetYear(), -1);
  EXPECT_EQ(date.Format("%Y"), "Invalid DateTime");
  EXPECT_EQ(date.SetTime(24, 0, 0), COleDateTime::invalid);
  EXPECT_EQ(date.SetDate(99, 1, 1), COleDateTime::invalid);
  EXPECT_EQ(date.SetDate(10000, 1, 1), COleDateTime::invalid);
  EXPECT_EQ(COleDateTime(3e6).GetStatus(), COleDateTime::invalid);
  EXPECT_EQ((COleDateTime(2958465.0) + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::invalid);
  EXPECT_EQ((date + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::invalid);
  COleDateTime none;
  none.SetStatus(COleDateTime::null);
  EXPECT_EQ(none.Format("%Y"), "");
  EXPECT_EQ((none + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::null);
  EXPECT_EQ(COleDateTime(2024, 2, 29, 23, 59, 59).Format("%Y-%m-%d %H:%M:%S"), "2024-02-29 23:59:59");
}

TEST_F(TimeClasses, OleSpanPartsAndTheDefaultFormat) {
  const COleDateTimeSpan span(1, 2, 3, 4);
  EXPECT_EQ(span.GetDays(), 1);
  EXPECT_EQ(span.GetHours(), 2);
  EXPECT_EQ(span.GetMinutes(), 3);
  EXPECT_EQ(span.GetSeconds(), 4);
  EXPECT_NEAR(span.GetTotalHours(), 26.0511, 1e-4);
  EXPECT_EQ((-span).GetDays(), -1);
  EXPECT_EQ(COleDateTime(2026, 12, 4, 0, 0, 0).Format(), "12/04/26");  // C locale
  EXPECT_EQ(COleDateTime(1899, 12, 30, 8, 15, 0).Format(), "08:15:00");
  EXPECT_EQ(COleDateTime(2026, 12, 4, 8, 15, 0).Format(), "12/04/26 08:15:00");
}

TEST_F(TimeClasses, CurrentTimesAgree) {
  const CTime now = CTime::GetCurrentTime();
  SYSTEMTIME local{}, utc{};
  GetLocalTime(&local);
  GetSystemTime(&utc);
  EXPECT_LT(local.wMilliseconds, 1000);
  const CTime fromLocal(local);
  EXPECT_LE(std::llabs(fromLocal.GetTime() - now.GetTime()), 2);
  const int offset = (local.wHour - utc.wHour + 24) % 24;  // Berlin: one or two hours ahead
  EXPECT_TRUE(offset == 1 || offset == 2) << offset;
  const COleDateTime ole = COleDateTime::GetCurrentTime();
  EXPECT_EQ(ole.GetStatus(), COleDateTime::valid);
  EXPECT_EQ(ole.GetYear(), local.wYear);
  EXPECT_EQ(COleDateTime(static_cast<__time64_t>(1796376615)).Format("%Y%m%d%H%M%S"), "20261204103015");
}

}  // namespace
