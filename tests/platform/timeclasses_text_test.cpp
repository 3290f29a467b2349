// The time classes' text forms beyond strftime: COleDateTime::ParseDateTime
// on the German forms, Format with the value flags, the span classes'
// Format, and the forms that take their format from the string table.
#include <gtest/gtest.h>

#include <clocale>
#include <string>
#include <xtbasis/platform/module.h>
#include <xtbasis/platform/timeclasses.h>

namespace {

std::string Parts(const COleDateTime& time) {
  return std::string(time.Format("%Y-%m-%d %H:%M:%S").GetString());
}

TEST(OleDateTimeParse, GermanAndIsoFormsWithAndWithoutATime) {
  COleDateTime time;
  ASSERT_TRUE(time.ParseDateTime("24.12.2026"));
  EXPECT_EQ(time.GetStatus(), COleDateTime::valid);
  EXPECT_EQ(Parts(time), "2026-12-24 00:00:00");
  ASSERT_TRUE(time.ParseDateTime("24.12.2026 18:30"));
  EXPECT_EQ(Parts(time), "2026-12-24 18:30:00");
  ASSERT_TRUE(time.ParseDateTime("  1.2.2026   8:05:09 "));
  EXPECT_EQ(Parts(time), "2026-02-01 08:05:09");
  ASSERT_TRUE(time.ParseDateTime("2026-12-24"));
  EXPECT_EQ(Parts(time), "2026-12-24 00:00:00");
  ASSERT_TRUE(time.ParseDateTime("2026-12-24 18:30:15"));
  EXPECT_EQ(Parts(time), "2026-12-24 18:30:15");
  // A time alone lies on the day 0, 1899-12-30.
  ASSERT_TRUE(time.ParseDateTime("18:30"));
  EXPECT_EQ(Parts(time), "1899-12-30 18:30:00");
  EXPECT_DOUBLE_EQ(time.m_dt, 18.5 / 24);
  // Two-digit years: 00-29 this century, 30-99 the last.
  ASSERT_TRUE(time.ParseDateTime("24.12.29"));
  EXPECT_EQ(time.GetYear(), 2029);
  ASSERT_TRUE(time.ParseDateTime("24.12.30"));
  EXPECT_EQ(time.GetYear(), 1930);
}

TEST(OleDateTimeParse, ValueFlagsDropThePartTheyExclude) {
  COleDateTime time;
  ASSERT_TRUE(time.ParseDateTime("24.12.2026 18:30:15", VAR_DATEVALUEONLY));
  EXPECT_EQ(Parts(time), "2026-12-24 00:00:00");
  ASSERT_TRUE(time.ParseDateTime("24.12.2026 18:30:15", VAR_TIMEVALUEONLY, LANG_USER_DEFAULT));
  EXPECT_EQ(Parts(time), "1899-12-30 18:30:15");
  ASSERT_TRUE(time.ParseDateTime("18:30", VAR_DATEVALUEONLY));
  EXPECT_DOUBLE_EQ(time.m_dt, 0.0);
  EXPECT_FALSE(time.ParseDateTime("24.12.2026", VAR_DATEVALUEONLY | VAR_TIMEVALUEONLY));
  EXPECT_EQ(time.GetStatus(), COleDateTime::invalid);
}

TEST(OleDateTimeParse, InvalidTextLeavesZeroAndTheInvalidStatus) {
  for (const char* text : {"", "   ", "31.02.2026", "24.13.2026", "24.12.2026 24:00", "24.12.2026 18:60",
                           "18:30:61", "24.12.", "24.12.202", "24-12-2026", "2026-12-24T18:30", "24.12.2026 18",
                           "24.12.2026 18:30 Uhr", "heute", "24.12.2026x", "0099-01-01"}) {
    COleDateTime time(2026, 1, 1, 12, 0, 0);
    EXPECT_FALSE(time.ParseDateTime(text)) << text;
    EXPECT_EQ(time.GetStatus(), COleDateTime::invalid) << text;
    EXPECT_DOUBLE_EQ(time.m_dt, 0.0) << text;
  }
  COleDateTime time;
  EXPECT_FALSE(time.ParseDateTime(nullptr));
  EXPECT_EQ(time.GetStatus(), COleDateTime::invalid);
  // A valid text after an invalid one makes the value valid again.
  EXPECT_TRUE(time.ParseDateTime("29.02.2024"));
  EXPECT_EQ(time.GetStatus(), COleDateTime::valid);
}

TEST(OleDateTimeFormat, ValueFlagsChooseDateOrTimeInTheGermanLocale) {
  const std::string saved = std::setlocale(LC_TIME, nullptr);
  if (!std::setlocale(LC_TIME, "de_DE.UTF-8")) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
  const COleDateTime time(2026, 12, 24, 18, 30, 15);
  EXPECT_EQ(time.Format(), "24.12.2026 18:30:15");
  EXPECT_EQ(time.Format(VAR_DATEVALUEONLY), "24.12.2026");
  EXPECT_EQ(time.Format(VAR_TIMEVALUEONLY, LOCALE_USER_DEFAULT), "18:30:15");
  // What Format writes, ParseDateTime reads.
  COleDateTime back;
  ASSERT_TRUE(back.ParseDateTime(time.Format()));
  EXPECT_EQ(back, time);
  std::setlocale(LC_TIME, saved.c_str());
}

TEST(SpanFormat, DaysHoursMinutesSecondsAndPercent) {
  const CTimeSpan span(3, 4, 5, 6);
  EXPECT_EQ(span.Format("%D Tage, %H:%M:%S %% %X"), "3 Tage, 04:05:06 % %X");
  EXPECT_EQ(CTimeSpan(400, 23, 59, 59).Format("%D|%H"), "400|23");
  EXPECT_EQ(CTimeSpan(0).Format("%H:%M:%S%"), "00:00:00%");
  const COleDateTimeSpan ole(1, 2, 3, 4);
  EXPECT_EQ(ole.Format("%D %H:%M:%S"), "1 02:03:04");
  COleDateTimeSpan broken(1.0);
  broken.SetStatus(COleDateTimeSpan::invalid);
  EXPECT_EQ(broken.Format("%D"), "Invalid DateTimeSpan");
  broken.SetStatus(COleDateTimeSpan::null);
  EXPECT_EQ(broken.Format("%D"), "");
}

TEST(TimeFormatById, TheFormatComesFromTheResourceModule) {
  static const XTResourceText kFormats[] = {{1, "%D Tage %H Std."}, {2, "%Y/%m"}};
  static HINSTANCE module = XTRegisterModule({"timeformats", kFormats, 2});
  ASSERT_NE(module, nullptr);
  XTSetResourceModule(module);
  EXPECT_EQ(CTimeSpan(2, 5, 0, 0).Format(1u), "2 Tage 05 Std.");
  EXPECT_EQ(COleDateTimeSpan(2, 5, 0, 0).Format(1u), "2 Tage 05 Std.");
  EXPECT_EQ(CTime(1796376615).Format(2u), "2026/12");
  EXPECT_EQ(CTimeSpan(60).Format(99u), "");  // no such string: an empty format
  XTSetResourceModule(nullptr);
  EXPECT_EQ(XTGetResourceModule(), GetModuleHandleA(nullptr));
  EXPECT_EQ(CTimeSpan(60).Format(1u), "");
}

}  // namespace
