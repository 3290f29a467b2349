// ISO 8601 week number, counted the way the suite always counted it: from
// the Thursday of the date's week and the weekday of that Thursday's 1 January.
#include <chrono>

#include <xtbasis/dateforms.h>

namespace {

using namespace std::chrono;

sys_days DayOf(int y, int m, int d) {
  return sys_days(year(y) / month(static_cast<unsigned>(m)) / day(static_cast<unsigned>(d)));
}

}  // namespace

int GetCalWeekNo(COleDateTime& d) {
  if (d.GetStatus() != COleDateTime::valid) return 0;
  const sys_days date = DayOf(d.GetYear(), d.GetMonth(), d.GetDay());
  const int w = static_cast<int>(weekday(date).c_encoding()) + 1;  // 1 = Sunday
  const sys_days thursday = date + days((8 - w) % 7 - 3);
  const sys_days newYear = sys_days(year_month_day(thursday).year() / January / 1);
  const int k = (static_cast<int>(weekday(newYear).c_encoding()) + 2) % 7;
  const int sinceNewYear = static_cast<int>((date - newYear).count());
  return 1 + (sinceNewYear - 3 + k) / 7;
}
