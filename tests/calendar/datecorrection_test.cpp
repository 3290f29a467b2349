#include <gtest/gtest.h>

#include <cstdio>

#include <xtbasis/datecorrection.h>
#include "time_support.h"

namespace {

struct Corrected {
  CString text;
  bool unchanged;
};

Corrected Correct(const char* typed, int flags) {
  CString d = typed;
  const bool unchanged = DoCorrectDate(d, flags);
  return {d, unchanged};
}

CString Year(int year, const char* monthDay) {
  CString d;
  d.Format("%04d%s", year, monthDay);
  return d;
}

CString TwoDigits(int value) {
  CString d;
  d.Format("%02d", value);
  return d;
}

}  // namespace

TEST(CorrectDate, CompletesAndLimitsMonthAndDay) {
  Corrected c = Correct("2026", 0);
  EXPECT_EQ(c.text, "20260101");
  EXPECT_FALSE(c.unchanged);
  EXPECT_EQ(Correct("20260230", 0).text, "20260228");
  EXPECT_EQ(Correct("20240230", 0).text, "20240229");
  EXPECT_EQ(Correct("20241331", 0).text, "20241231");
  EXPECT_EQ(Correct("20260431", 0).text, "20260430");
  EXPECT_EQ(Correct("20260000", 0).text, "20260101");
  EXPECT_EQ(Correct("2026 3", 0).text, "20260301");  // the blank reads as digit 0
  EXPECT_EQ(Correct("2026x3y5", 0).text, "20260305");
  EXPECT_EQ(Correct("20260101999", 0).text, "20260101");
  c = Correct("20260101", 0);
  EXPECT_EQ(c.text, "20260101");
  EXPECT_TRUE(c.unchanged);
  // Cutting a longer text is a change even when the first 8 characters stay.
  EXPECT_FALSE(Correct("20260101 ", 0).unchanged);
  c = Correct("", 0);
  EXPECT_EQ(c.text, "");
  EXPECT_TRUE(c.unchanged);
}

TEST(CorrectDate, ReservedValuesStayExceptForBirthDates) {
  for (const char* reserved : {"19800101", "99991231", "00000000", "99999999"}) {
    const Corrected plain = Correct(reserved, 0);
    EXPECT_EQ(plain.text, reserved);
    EXPECT_TRUE(plain.unchanged);
    EXPECT_EQ(Correct(reserved, XTDATE_VALIDITY).text, reserved);
  }
  CString birth = "99991231";
  EXPECT_FALSE(CorrectGebDate(birth));
  EXPECT_EQ(birth, "19991231");
  birth = "99999999";
  CorrectGebDate(birth);
  EXPECT_EQ(birth, "19991231");
}

TEST(CorrectDate, PlainYearsFollowTheCurrentYear) {
  const int year = LocalYearNow();
  const int yy = year % 100;
  // Typed "260101" is the year 2601 (from 2100 on: 20yy), month 01, day 1.
  EXPECT_EQ(Correct("260101", 0).text, "20010101");
  EXPECT_EQ(Correct("00" + TwoDigits(yy) + "0101", 0).text, Year(2000 + yy, "0101"));
  if (yy < 99) {
    EXPECT_EQ(Correct("00" + TwoDigits(yy + 1) + "0315", 0).text, Year(1970, "0315"));
  }
  EXPECT_EQ(Correct("00690315", 0).text, yy >= 69 ? Year(2069, "0315") : Year(1970, "0315"));
  EXPECT_EQ(Correct("19690315", 0).text, yy >= 69 ? Year(2069, "0315") : Year(1970, "0315"));
  EXPECT_EQ(Correct("19700315", 0).text, "19700315");
  EXPECT_EQ(Correct("20990315", 0).text, "20990315");
  EXPECT_EQ(Correct("21500315", 0).text, "20500315");
  EXPECT_EQ(Correct("98761231", 0).text, "20761231");
}

TEST(CorrectDate, ValidityDatesLookForward) {
  CString d = "00280131";
  EXPECT_FALSE(CorrectGueltigDate(d));
  EXPECT_EQ(d, "20280131");
  EXPECT_EQ(Correct("00451231", XTDATE_VALIDITY).text, "20451231");
  EXPECT_EQ(Correct("19691231", XTDATE_VALIDITY).text, "20691231");
  EXPECT_EQ(Correct("21500229", XTDATE_VALIDITY).text, "20500228");
  // The same text as a plain date in a year before 2028.
  if (LocalYearNow() % 100 < 28) {
    EXPECT_EQ(Correct("00280131", 0).text, "19700131");
  }
}

TEST(CorrectDate, BirthDatesLookBackAndMayStayOpen) {
  const int year = LocalYearNow();
  CString d = "00000000";
  EXPECT_TRUE(CorrectGebDate(d));
  EXPECT_EQ(d, "00000000");
  d = "19850000";
  EXPECT_TRUE(CorrectGebDate(d));
  d = "19851200";
  EXPECT_TRUE(CorrectGebDate(d));
  d = "00851231";
  EXPECT_FALSE(CorrectGebDate(d));
  EXPECT_EQ(d, "19851231");
  d = "18491231";
  CorrectGebDate(d);
  EXPECT_EQ(d, "19491231");
  d = "18500101";
  EXPECT_TRUE(CorrectGebDate(d));
  d = Year(year + 5, "0101");
  EXPECT_TRUE(CorrectGebDate(d));
  d = Year(year + 6, "0101");
  CorrectGebDate(d);
  EXPECT_EQ(d, Year(1900 + (year + 6) % 100, "0101"));
  d = "00001231";  // an open year empties month and day
  CorrectGebDate(d);
  EXPECT_EQ(d, "00000000");
  d = "19850031";
  CorrectGebDate(d);
  EXPECT_EQ(d, "19850000");
  // Birth without the open bit still repairs a zero month and day.
  EXPECT_EQ(Correct("19850000", XTDATE_BIRTH).text, "19850101");
}

TEST(CorrectDate, OpenBitAlone) {
  EXPECT_EQ(Correct("20260000", XTDATE_OPEN).text, "20260000");
  EXPECT_EQ(Correct("20261300", XTDATE_OPEN).text, "20261200");
  EXPECT_EQ(Correct("20260231", XTDATE_OPEN).text, "20260228");
}

TEST(CorrectTime, HoursAndMinutesAreLimited) {
  struct Case {
    const char* typed;
    const char* corrected;
    bool unchanged;
  };
  for (const Case& c : {Case{"2400", "0000", false}, Case{"2575", "2359", false}, Case{"9", "2300", false},
                        Case{"1230", "1230", true}, Case{"0000", "0000", true}, Case{"12", "1200", false},
                        Case{"1a3b", "1030", false}, Case{"123000", "1230", false}, Case{"", "", true}}) {
    CString t = c.typed;
    EXPECT_EQ(CorrectTime(t), c.unchanged) << c.typed;
    EXPECT_EQ(t, c.corrected) << c.typed;
  }
}
