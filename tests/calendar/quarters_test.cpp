#include <gtest/gtest.h>

#include <xtbasis/quarters.h>

TEST(Quarters, CodeOfADbDate) {
  EXPECT_EQ(DbDate2Quartal("20260101"), "12026");
  EXPECT_EQ(DbDate2Quartal("20260415"), "22026");
  EXPECT_EQ(DbDate2Quartal("20260930"), "32026");
  EXPECT_EQ(DbDate2Quartal("20261231"), "42026");
  EXPECT_EQ(DbDate2Quartal("20261515"), "42026");  // any month 10-19
  EXPECT_EQ(DbDate2Quartal("20260015"), "02026");
  EXPECT_EQ(DbDate2Quartal("20262015"), "02026");
  EXPECT_EQ(DbDate2Quartal("2026-12-04"), "");
  EXPECT_EQ(DbDate2Quartal("2026120"), "");
}

TEST(Quarters, FirstDayOfAQuarterCode) {
  EXPECT_EQ(Quartal2DbDate("12026"), "20260101");
  EXPECT_EQ(Quartal2DbDate("22026"), "20260401");
  EXPECT_EQ(Quartal2DbDate("42026"), "20261001");
  EXPECT_EQ(Quartal2DbDate("2026"), "");
  EXPECT_EQ(Quartal2DbDate("420266"), "");
  EXPECT_EQ(Quartal2DbDate("02026"), "2026-201");  // digit 0 is not repaired
}

TEST(Quarters, SameQuarter) {
  EXPECT_TRUE(GleichesQuartal("20260101", "20260331"));
  EXPECT_FALSE(GleichesQuartal("20260331", "20260401"));
  EXPECT_FALSE(GleichesQuartal("20260101", "20270101"));
  EXPECT_TRUE(GleichesQuartal("20261001", "20261231"));
  EXPECT_FALSE(GleichesQuartal("", "20260101"));
  EXPECT_FALSE(GleichesQuartal("2026", "2026"));
}

TEST(Quarters, MonthAndQuarterLimits) {
  EXPECT_EQ(MonatsAnfang("20260515"), "20260501");
  EXPECT_EQ(MonatsAnfang("2026"), "202601");
  EXPECT_EQ(QuartalsAnfang("20260515"), "20260401");
  EXPECT_EQ(QuartalsAnfang("20261231"), "20261001");
  EXPECT_EQ(QuartalsEnde("20260515"), "20260630");
  EXPECT_EQ(QuartalsEnde("20240115"), "20240331");
  EXPECT_EQ(QuartalsEnde("20261115"), "20261231");
  EXPECT_EQ(QuartalsEnde("20260815"), "20260930");
}

TEST(Quarters, StepsByMonthsQuartersAndYears) {
  EXPECT_EQ(VorMonat("20260115", 0), "20260115");
  EXPECT_EQ(VorMonat("20260331", 1), "20260228");
  EXPECT_EQ(VorMonat("20240229", 12), "20230228");
  EXPECT_EQ(VorMonat("20261115", -2), "20270115");
  EXPECT_EQ(VorMonat("20260115", 1), "20251215");
  EXPECT_EQ(VorMonat("20261215", 12), "20251215");
  EXPECT_EQ(VorMonat("20261215", -12), "20271215");
  EXPECT_EQ(VorMonat("20260131", 25), "20231231");
  EXPECT_EQ(VorMonat("202601", 1), "20251200");  // no day gives day 00
  EXPECT_EQ(VorMonat("", 1), "");
  EXPECT_EQ(VorQuartal("20260531", 1), "20260228");
  EXPECT_EQ(VorQuartal("20260531", -1), "20260831");
  EXPECT_EQ(VorJahr("20240229", -1), "20250228");
  EXPECT_EQ(VorJahr("20240229", 4), "20200229");
}

TEST(Quarters, IntervalLimitsAreInclusiveAndMayBeOpen) {
  EXPECT_TRUE(DatumImInterval("20260515", "", ""));
  EXPECT_TRUE(DatumImInterval("20260401", "20260401", "20260630"));
  EXPECT_TRUE(DatumImInterval("20260630", "20260401", "20260630"));
  EXPECT_FALSE(DatumImInterval("20260331", "20260401", "20260630"));
  EXPECT_FALSE(DatumImInterval("20260701", "20260401", "20260630"));
  EXPECT_TRUE(DatumImInterval("20990101", "20260401", ""));
  EXPECT_TRUE(DatumImInterval("19000101", "", "20260630"));
}

TEST(Age, YearsAndCurrentMonthOfLife) {
  int years = -1, months = -1;
  GetAlter("20000515", "20000515", years, months);
  EXPECT_EQ(years, 0);
  EXPECT_EQ(months, 1);
  GetAlter("20260510", "20000515", years, months);
  EXPECT_EQ(years, 25);
  EXPECT_EQ(months, 312);
  GetAlter("20260520", "20000515", years, months);
  EXPECT_EQ(years, 26);
  EXPECT_EQ(months, 313);
  GetAlter("20260314", "20000515", years, months);  // month before the birthday month
  EXPECT_EQ(years, 25);
  EXPECT_EQ(months, 310);
  GetAlter("20260101", "00000000", years, months);
  EXPECT_EQ(years, 0);
  EXPECT_EQ(months, 0);
  years = months = -1;
  GetAlter("20260101", "", years, months);
  EXPECT_EQ(years, 0);
  EXPECT_EQ(months, 0);
}

TEST(Age, DatesReadAsThirtyTwoBitLongs) {
  int years = 0, months = 0;
  GetAlter("99999999999", "19000101", years, months);  // the reference date saturates at 2147483647
  EXPECT_EQ(years, (2147483647 - 19000101) / 10000);
  EXPECT_EQ(months, 98 + 12 * years + 1);
  GetAlter("20260101", "4294967296", years, months);  // not cut to 0, as glibc's atoi would
  EXPECT_EQ(years, (20260101 - 2147483647) / 10000);
  GetAlter("-99999999999", "20000101", years, months);
  EXPECT_EQ(years, (-2147483648LL - 20000101) / 10000);
}
