#include <gtest/gtest.h>

#include <ctime>

#include <xtbasis/xtdate.h>
#include "time_support.h"

namespace {

CXTDate Iso(const char* text) {
  CXTDate date;
  date.FromISO8601(text);
  return date;
}

template <typename Call>
HRESULT ThrownBy(Call call) {
  try {
    call();
  } catch (const CAtlException& e) {
    return e.m_hr;
  }
  return S_OK;
}

class XTDateBerlin : public ::testing::Test {
  ScopedZone m_zone{"Europe/Berlin"};
};

class XTDateUtc : public ::testing::Test {
  ScopedZone m_zone{"UTC"};
};

}  // namespace

TEST_F(XTDateBerlin, FromDbDatesAndTimeStamps) {
  EXPECT_EQ(CXTDate("20261204", false).GetTime(), Utc(2026, 12, 3, 23, 0, 0));
  EXPECT_EQ(CXTDate("20260701", false).GetTime(), Utc(2026, 6, 30, 22, 0, 0));
  EXPECT_EQ(CXTDate("20260230", false).GetTime(), Utc(2026, 2, 27, 23, 0, 0));  // corrected first
  EXPECT_EQ(CXTDate("2026", false).GetTime(), 0);
  EXPECT_EQ(CXTDate("", false).GetTime(), 0);
  const CXTDate stamp("20261204103015", false);
  EXPECT_EQ(stamp.YYYYMMDDHHMMSS(), "20261204103015");
  EXPECT_EQ(stamp.GetTime(), Utc(2026, 12, 4, 9, 30, 15));
  EXPECT_EQ(CXTDate("20261232103015", false).YYYYMMDDHHMMSS(), "20261231103015");
  // UTC parts: no correction, missing positions are 0.
  EXPECT_EQ(CXTDate("20261204103015", true).GetTime(), Utc(2026, 12, 4, 10, 30, 15));
  EXPECT_EQ(CXTDate("20261204103015", true).YYYYMMDDHHMMSS(), "20261204113015");
  EXPECT_EQ(CXTDate("20261204", true).GetTime(), Utc(2026, 12, 4, 0, 0, 0));
  EXPECT_EQ(CXTDate("", true).GetTime(), 0);
  const CTime time(Utc(2026, 3, 1, 12, 0, 0));
  EXPECT_EQ(CXTDate(time).GetTime(), time.GetTime());
}

TEST_F(XTDateBerlin, OutOfRangePartsThrow) {
  EXPECT_EQ(ThrownBy([] { CXTDate("00000000", false); }), E_FAIL);  // reserved values are not repaired
  EXPECT_EQ(ThrownBy([] { CXTDate("99991231", false); }), E_INVALIDARG);  // beyond what the platform converts
  EXPECT_EQ(ThrownBy([] { CXTDate("20261204253015", false); }), E_FAIL);
  EXPECT_EQ(ThrownBy([] { CXTDate("20261204106015", false); }), E_FAIL);
  EXPECT_EQ(ThrownBy([] { CXTDate("20261304", true); }), E_INVALIDARG);
  EXPECT_EQ(ThrownBy([] { CXTDate("20260230", true); }), E_INVALIDARG);
  EXPECT_EQ(ThrownBy([] { CXTDate("2026", true); }), E_INVALIDARG);
  EXPECT_EQ(ThrownBy([] { Iso("1950-01-01T00:00:00"); }), E_FAIL);
  EXPECT_EQ(ThrownBy([] { Iso("2026-12-04T10:61:15Z"); }), E_INVALIDARG);
  // Formatting a time the platform cannot convert.
  const CXTDate negative{CTime(-5)};
  EXPECT_EQ(ThrownBy([&] { negative.dd(); }), E_INVALIDARG);
  EXPECT_EQ(ThrownBy([&] { (void)static_cast<CString>(negative); }), E_INVALIDARG);
}

TEST_F(XTDateBerlin, ZeroKeepsTheFieldWidths) {
  const CXTDate none;
  EXPECT_EQ(none.dd(), "  ");
  EXPECT_EQ(none.mm(), "  ");
  EXPECT_EQ(none.yy(), "  ");
  EXPECT_EQ(none.YYYY(), "    ");
  EXPECT_EQ(none.ddmmyy(), "        ");
  EXPECT_EQ(none.YYYYMMDDHHMMSS(), "              ");
  EXPECT_EQ(none.ToISO8601(false), "");
  EXPECT_EQ(none.ToISO8601(true), "");
  EXPECT_EQ(none.ToExt(false), "");
  EXPECT_EQ(static_cast<CString>(none), "19700101");
}

TEST_F(XTDateBerlin, Formatters) {
  const CXTDate date("20260704083005", false);
  EXPECT_EQ(date.dd(), "04");
  EXPECT_EQ(date.mm(), "07");
  EXPECT_EQ(date.yy(), "26");
  EXPECT_EQ(date.YYYY(), "2026");
  EXPECT_EQ(date.ddmmyy(), "04.07.26");
  EXPECT_EQ(static_cast<CString>(date), "20260704");
  EXPECT_EQ(date.ToISO8601(false), "2026-07-04T08:30:05");
  EXPECT_EQ(date.ToISO8601(true), "2026-07-04T06:30:05Z");
  EXPECT_EQ(date.ToExt(false), "04.07.2026 08:30:05");
  EXPECT_EQ(date.ToExt(true), "04.07.2026 06:30:05");
}

TEST_F(XTDateBerlin, DayStepsLandOnTheNextCalendarDayAcrossDaylightSaving) {
  // 2026-03-29 has 23 hours, 2026-10-25 has 25.
  for (const char* day : {"20260328", "20260329", "20261024", "20261025", "20261204"}) {
    const CXTDate start(day, false);
    const CXTDate next = start + 1;
    CString expected = day;
    expected.Format("%08d", atoi(day) + 1);
    EXPECT_EQ(static_cast<CString>(next), expected) << day;
    EXPECT_EQ(next - CString(day), 1) << day;
  }
  const CXTDate dec4("20261204", false);
  EXPECT_EQ((dec4 + 1).YYYYMMDDHHMMSS(), "20261205010000");
  EXPECT_EQ(static_cast<CString>(dec4 + 30), "20270103");
  EXPECT_EQ(static_cast<CString>(dec4 + -3), "20261201");
  // A month across the spring change and back across the autumn change.
  EXPECT_EQ(static_cast<CString>(CXTDate("20260315", false) + 30), "20260414");
  EXPECT_EQ(CXTDate("20260414", false) - CString("20260315"), 30);
  EXPECT_EQ(CXTDate("20261101", false) - CString("20261001"), 31);
}

TEST_F(XTDateBerlin, DayDifferences) {
  const CXTDate dec4("20261204", false);
  EXPECT_EQ(dec4 - CString("20261201"), 3);
  EXPECT_EQ(dec4 - CString("20261204"), 0);
  EXPECT_EQ(dec4 - CString("20261207"), -2);  // the added hour shrinks a negative count
  EXPECT_EQ(dec4 - CString("20261203120000"), 0);
  EXPECT_EQ(ThrownBy([&] { (void)(dec4 - CString("00000000")); }), E_FAIL);
  const CXTDate later("20261204103015", false);
  EXPECT_EQ(dec4.secsTo(later), 10 * 3600 + 30 * 60 + 15);
  EXPECT_EQ(later.secsTo(dec4), -(10 * 3600 + 30 * 60 + 15));
  const CXTDate now{CTime(time(nullptr))};
  EXPECT_LE(now.secsToNow(), 2);
  EXPECT_GE(now.secsToNow(), 0);
  EXPECT_GT(dec4.secsToNow(), 0);
}

TEST_F(XTDateBerlin, IsoTextWithZonesAndFractions) {
  const time_t instant = Utc(2026, 12, 4, 9, 30, 15);
  EXPECT_EQ(Iso("2026-12-04T10:30:15").GetTime(), instant);  // local
  EXPECT_EQ(Iso("2026-12-04T09:30:15Z").GetTime(), instant);
  EXPECT_EQ(Iso("2026-12-04T10:30:15+01:00").GetTime(), instant);
  EXPECT_EQ(Iso("2026-12-04T10:30:15+0100").GetTime(), instant);
  EXPECT_EQ(Iso("2026-12-04T10:30:15+01").GetTime(), instant);
  EXPECT_EQ(Iso("2026-12-04T05:00:15-04:30").GetTime(), instant);
  EXPECT_EQ(Iso("2026-12-04T05:00:15-0430").GetTime(), instant);
  EXPECT_EQ(Iso("2026-12-04T09:30:15.123Z").GetTime(), instant);
  EXPECT_EQ(Iso("2026-12-04T10:30:15.123456+01:00").GetTime(), instant);
  EXPECT_EQ(Iso("2026-12-04T10:30:15.5").GetTime(), instant);  // fraction only: local
  EXPECT_EQ(Iso("2026-12-04T05:00:15-05:30").GetTime(), Utc(2026, 12, 4, 10, 30, 15));
  EXPECT_EQ(Iso("2026-07-04T10:30:15").GetTime(), Utc(2026, 7, 4, 8, 30, 15));  // summer time
  EXPECT_EQ(Iso("1899-12-31T00:00:00").GetTime(), 0);  // a local year before 1900
}

TEST_F(XTDateBerlin, IsoTextThatChangesNothing) {
  CXTDate date("20261204", false);
  const __time64_t before = date.GetTime();
  date.FromISO8601("2026-12-04T10:30:1");  // 18 characters
  EXPECT_EQ(date.GetTime(), before);
  date.FromISO8601("2026-12-04T10:30:15 oops");  // no zone marker
  EXPECT_EQ(date.GetTime(), before);
  date.FromISO8601("");
  EXPECT_EQ(date.GetTime(), before);
}

TEST_F(XTDateBerlin, IsoRoundTrip) {
  const CXTDate date("20261025023000", false);  // in the repeated hour of the autumn change
  EXPECT_EQ(Iso(date.ToISO8601(true)).GetTime(), date.GetTime());
  CXTDate copy;
  copy = date;
  EXPECT_EQ(copy.GetTime(), date.GetTime());
}

TEST_F(XTDateUtc, LocalFormsAreUtc) {
  const CXTDate date("20261204103015", false);
  EXPECT_EQ(date.GetTime(), Utc(2026, 12, 4, 10, 30, 15));
  EXPECT_EQ(date.ToISO8601(false), "2026-12-04T10:30:15");
  EXPECT_EQ(date.ToISO8601(true), "2026-12-04T10:30:15Z");
  EXPECT_EQ(Iso("2026-12-04T10:30:15").GetTime(), date.GetTime());
  EXPECT_EQ((CXTDate("20261204", false) + 1).YYYYMMDDHHMMSS(), "20261205010000");
  EXPECT_EQ(static_cast<CString>(CXTDate()), "19700101");
  EXPECT_EQ(CXTDate("19700101", false).GetTime(), 0);
}
