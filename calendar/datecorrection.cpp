#include <atomic>
#include <ctime>

#include <xtbasis/dateforms.h>
#include <xtbasis/datecorrection.h>
#include <xtbasis/textfields.h>

#include "os/clocks.h"

namespace {

// Read on first use; 0 (not yet read) makes the next call try again.
// Concurrent first calls store the same year; the atomic only keeps that
// race defined.
std::atomic<int> g_currentYear{0};

int CurrentYear() {
  int year = g_currentYear.load(std::memory_order_relaxed);
  if (year == 0) {
    std::tm local{};
    if (xtb::os::LocalCalendar(xtb::os::WallClock().seconds, local)) year = local.tm_year + 1900;
    g_currentYear.store(year, std::memory_order_relaxed);
  }
  return year;
}

bool IsReservedValue(const CString& d) {
  return d == "19800101" || d == "99991231" || d == "00000000" || d == "99999999";
}

// The digits of `count` characters from `first`; other characters count as 0.
int DigitsAt(const CString& s, int first, int count) {
  int value = 0;
  for (int i = first; i < first + count; ++i) {
    const char c = s[i];
    value = value * 10 + (c >= '0' && c <= '9' ? c - '0' : 0);
  }
  return value;
}

int CorrectedYear(int y, int flags) {
  if (flags & XTDATE_BIRTH) {
    if (y < 1850 || y > CurrentYear() + 5) return 1900 + y % 100;
    return y;
  }
  if (y < 1970) {
    const int yy = y % 100;
    if (flags & XTDATE_VALIDITY) return 2000 + yy;
    return yy <= CurrentYear() % 100 ? 2000 + yy : 1970;
  }
  if (y >= 2100) return 2000 + y % 100;
  return y;
}

}  // namespace

bool DoCorrectDate(CString& d, int flags) {
  if (d.IsEmpty()) return true;
  if (!(flags & XTDATE_BIRTH) && IsReservedValue(d)) return true;
  const CString typed = d;
  const CString fixed = LeftFix(d, 8, ' ');
  int y = DigitsAt(fixed, 0, 4);
  int m = DigitsAt(fixed, 4, 2);
  int day = DigitsAt(fixed, 6, 2);
  const bool open = flags & XTDATE_OPEN;
  if (open && y == 0) {
    m = day = 0;
  } else {
    y = CorrectedYear(y, flags);
    if (open && m == 0) {
      day = 0;
    } else {
      m = m < 1 ? 1 : m > 12 ? 12 : m;
      if (!open && day < 1) day = 1;
      if (day > 28 && day > LastDayI(m, y)) day = LastDayI(m, y);
    }
  }
  d.Format("%04d%02d%02d", y, m, day);
  return d == typed;
}

bool CorrectDate(CString& d) { return DoCorrectDate(d, 0); }

bool CorrectGebDate(CString& d) { return DoCorrectDate(d, XTDATE_BIRTH | XTDATE_OPEN); }

bool CorrectGueltigDate(CString& d) { return DoCorrectDate(d, XTDATE_VALIDITY); }

bool CorrectTime(CString& t) {
  if (t.IsEmpty()) return true;
  const CString typed = t;
  const CString fixed = LeftFix(t, 4, ' ');
  int h = DigitsAt(fixed, 0, 2);
  int n = DigitsAt(fixed, 2, 2);
  h = h == 24 ? 0 : h > 23 ? 23 : h;
  if (n > 59) n = 59;
  t.Format("%02d%02d", h, n);
  return t == typed;
}
