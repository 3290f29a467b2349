#include <xtbasis/platform/winlong.h>

#include "positions.h"
#include <xtbasis/dateforms.h>
#include <xtbasis/quarters.h>

using xtb::Piece;
using xtb::PieceNumber;

namespace {

CString TwoDigits(int value) {
  CString text;
  text.Format("%02d", value);
  return text;
}

}  // namespace

CString DbDate2Quartal(const CString& d) {
  if (d.GetLength() != 8) return CString();
  char digit = '0';
  if (d[4] == '1') {
    digit = '4';
  } else if (d[4] == '0') {
    const char m = d[5];
    digit = m >= '1' && m <= '3' ? '1' : m >= '4' && m <= '6' ? '2' : m >= '7' && m <= '9' ? '3' : '0';
  }
  return digit + Piece(d, 1, 4);
}

CString Quartal2DbDate(const CString& q) {
  if (q.GetLength() != 5) return CString();
  const int k = PieceNumber(q, 1, 1);
  CString date;
  date.Format("%s%02d01", Piece(q, 2, 4).GetString(), 3 * k - 2);
  return date;
}

bool GleichesQuartal(const CString& a, const CString& b) {
  if (a.GetLength() < 5 || b.GetLength() < 5 || Piece(a, 1, 4) != Piece(b, 1, 4)) return false;
  return (PieceNumber(a, 5, 2) - 1) / 3 == (PieceNumber(b, 5, 2) - 1) / 3;
}

CString MonatsAnfang(const CString& d) { return Piece(d, 1, 4) + Piece(d, 5, 2) + "01"; }

CString QuartalsAnfang(const CString& d) {
  const int m = PieceNumber(d, 5, 2);
  return Piece(d, 1, 4) + TwoDigits((m - 1) / 3 * 3 + 1) + "01";
}

CString QuartalsEnde(const CString& d) {
  const int last = ((PieceNumber(d, 5, 2) - 1) / 3 + 1) * 3;
  return Piece(d, 1, 4) + TwoDigits(last) + LastDay(last, PieceNumber(d, 1, 4));
}

namespace {

// Months are counted in 64 bits, so that VorQuartal and VorJahr of any int
// step cannot overflow.
CString StepMonthsBack(const CString& d, long long n) {
  if (d.IsEmpty()) return CString();
  int day = PieceNumber(d, 7, 2);
  int month = PieceNumber(d, 5, 2);
  long long year = PieceNumber(d, 1, 4);
  if (n >= 0) {
    year -= n / 12;
    if (month <= n % 12) {
      --year;
      month += 12;
    }
    month -= static_cast<int>(n % 12);
  } else {
    year += -n / 12;
    month += static_cast<int>(-n % 12);
    if (month > 12) {
      month -= 12;
      ++year;
    }
  }
  // Leap years repeat every 400 years.
  const int lastDay = LastDayI(month, static_cast<int>((year % 400 + 400) % 400));
  if (day > lastDay) day = lastDay;
  CString date;
  date.Format("%04lld%02d%02d", year, month, day);
  return date;
}

}  // namespace

CString VorMonat(const CString& d, int n) { return StepMonthsBack(d, n); }

CString VorQuartal(const CString& d, int n) { return StepMonthsBack(d, 3LL * n); }

CString VorJahr(const CString& d, int n) { return StepMonthsBack(d, 12LL * n); }

bool DatumImInterval(const CString& d, const CString& von, const CString& bis) {
  if (!von.IsEmpty() && d.Compare(von) < 0) return false;
  return bis.IsEmpty() || d.Compare(bis) <= 0;
}

void GetAlter(const CString& refDate, const CString& birthDate, int& years, int& months) {
  if (birthDate.IsEmpty() || Piece(birthDate, 1, 4) == "0000") {
    years = months = 0;
    return;
  }
  // Both dates read whole as 32-bit longs; their difference always fits in 64 bits.
  const long long difference = static_cast<long long>(xtb::winlong::AToL(refDate)) - xtb::winlong::AToL(birthDate);
  years = static_cast<int>(difference / 10000);
  int m = PieceNumber(refDate, 5, 2) - PieceNumber(birthDate, 5, 2);
  if (m < 0) m += 12;
  const bool early = PieceNumber(birthDate, 7, 2) > PieceNumber(refDate, 7, 2);
  if (m == 0 && early)
    months = (years + 1) * 12;
  else
    months = m + 12 * years + (early ? 0 : 1);
}
