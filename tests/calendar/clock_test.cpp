#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "clockstamp.h"
#include <xtbasis/dateforms.h>
#include "time_support.h"

namespace {

// Read from the clock the library reads: time() follows the kernel's coarse
// clock, which still shows the last second for a few milliseconds after
// the precise one turned.
std::string LocalNow(const char* format) {
  timespec precise{};
  clock_gettime(CLOCK_REALTIME, &precise);
  const time_t now = precise.tv_sec;
  struct tm local {};
  localtime_r(&now, &local);
  char text[64];
  strftime(text, sizeof text, format, &local);
  return text;
}

bool Digits(const std::string& s) { return s.find_first_not_of("0123456789") == std::string::npos; }

}  // namespace

TEST(ClockStamp, SameReadingAdvancesTheMillisecondsWithoutCarry) {
  xtb::ClockRecord previous;
  const xtb::ClockRecord reading{1780000000, 41, -60, false};
  EXPECT_EQ(xtb::NextDistinct(previous, reading).milliseconds, 41);
  EXPECT_EQ(xtb::NextDistinct(previous, reading).milliseconds, 42);
  // Only the record handed out last is remembered: 41 differs from 42.
  EXPECT_EQ(xtb::NextDistinct(previous, reading).milliseconds, 41);

  const xtb::ClockRecord last{1780000000, 999, -60, false};
  xtb::NextDistinct(previous, last);
  const xtb::ClockRecord wrapped = xtb::NextDistinct(previous, last);
  EXPECT_EQ(wrapped.milliseconds, 0);
  EXPECT_EQ(wrapped.seconds, 1780000000);
}

TEST(ClockStamp, ZoneOrDaylightChangeMakesTheReadingNew) {
  xtb::ClockRecord previous;
  xtb::NextDistinct(previous, {1780000000, 5, -60, false});
  EXPECT_EQ(xtb::NextDistinct(previous, {1780000000, 5, -120, false}).milliseconds, 5);
  EXPECT_EQ(xtb::NextDistinct(previous, {1780000000, 5, -120, true}).milliseconds, 5);
}

TEST(ClockStamp, ConsecutiveStampsDifferAndHaveTheirForms) {
  CString before = GetStechUhr();
  CString beforeIso = GetStechUhrISO8601();
  for (int i = 0; i < 2000; ++i) {
    const CString stamp = GetStechUhr();
    const CString iso = GetStechUhrISO8601();
    ASSERT_EQ(stamp.GetLength(), 17);
    ASSERT_TRUE(Digits(stamp.str())) << stamp.GetString();
    ASSERT_EQ(iso.GetLength(), 23);
    ASSERT_EQ(iso[10], 'T');
    ASSERT_EQ(iso[19], '.');
    ASSERT_NE(stamp, before);
    ASSERT_NE(iso, beforeIso);
    before = stamp;
    beforeIso = iso;
  }
}

TEST(ClockStamp, EachThreadKeepsItsStampsApart) {
  auto run = [](bool& distinct) {
    distinct = true;
    CString before = GetStechUhr();
    for (int i = 0; i < 5000; ++i) {
      const CString stamp = GetStechUhr();
      if (stamp == before) distinct = false;
      before = stamp;
    }
  };
  bool first = false, second = false;
  std::thread a(run, std::ref(first)), b(run, std::ref(second));
  a.join();
  b.join();
  EXPECT_TRUE(first);
  EXPECT_TRUE(second);
}

TEST(ClockReadings, NowInTheLocalForms) {
  ScopedZone zone("Europe/Berlin");
  for (int attempt = 0; attempt < 3; ++attempt) {  // a second may tick between the readings
    const std::string expected = LocalNow("%Y%m%d%H%M%S");
    const CString stamp = GetStechUhr2();
    const CString iso = GetStechUhr2ISO8601();
    const CString date = GetXTDate();
    if (expected != stamp.str() || LocalNow("%Y%m%d%H%M%S") != expected) continue;
    EXPECT_EQ(iso.str(), LocalNow("%Y-%m-%dT%H:%M:%S"));
    EXPECT_EQ(date.str(), expected.substr(0, 8));
    EXPECT_EQ(GetStechUhr().Left(14).str().substr(0, 8), expected.substr(0, 8));
    const COleDateTime ole = GetXTOleTime();
    EXPECT_EQ(ole.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(ole.GetYear(), std::stoi(expected.substr(0, 4)));
    EXPECT_NEAR(static_cast<double>(GetXTTime().GetTime()), static_cast<double>(time(nullptr)), 2.0);
    return;
  }
  FAIL() << "the clock never stood still for one comparison";
}

TEST(TimestampToStr, LocalTimeAcrossZonesAndSeasons) {
  const time_t winter = Utc(2026, 12, 4, 9, 30, 15);
  const time_t summer = Utc(2026, 7, 1, 8, 0, 0);
  {
    ScopedZone zone("Europe/Berlin");
    EXPECT_EQ(TimestampToStr(winter), "20261204103015");
    EXPECT_EQ(TimestampToStr(summer), "20260701100000");
    // 01:59:59 UTC on 2026-10-25 is still summer time, a second later winter.
    EXPECT_EQ(TimestampToStr(Utc(2026, 10, 25, 0, 59, 59)), "20261025025959");
    EXPECT_EQ(TimestampToStr(Utc(2026, 10, 25, 1, 0, 0)), "20261025020000");
  }
  {
    ScopedZone zone("UTC");
    EXPECT_EQ(TimestampToStr(summer), "20260701080000");
    EXPECT_EQ(TimestampToStr(1), "19700101000001");
  }
  EXPECT_EQ(TimestampToStr(0), "");
  EXPECT_EQ(TimestampToStr(-86400), "");
}

TEST(TimestampToStr, BeyondTheConvertibleRangeThrowsInvalidArgument) {
  ScopedZone zone("UTC");
  EXPECT_EQ(TimestampToStr(Utc(3000, 12, 31, 23, 59, 59)), "30001231235959");
  try {
    TimestampToStr(Utc(3001, 1, 1, 0, 0, 0));
    FAIL() << "no exception";
  } catch (const CAtlException& e) {
    EXPECT_EQ(e.m_hr, E_INVALIDARG);
  }
}
