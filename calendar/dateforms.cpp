#include <cstdlib>

#include "positions.h"
#include <xtbasis/dateforms.h>

namespace xtb {

int PieceNumber(const CString& s, int first, int count) { return std::atoi(Piece(s, first, count)); }

bool DigitsOnly(const CString& s) {
  if (s.IsEmpty()) return false;
  for (const char c : s.view())
    if (c < '0' || c > '9') return false;
  return true;
}

}  // namespace xtb

using xtb::Piece;

namespace {

// "20" for a two-digit year text below "80" (compared as text), else "19".
const char* CenturyOf(const CString& yy) { return yy.Compare("80") < 0 ? "20" : "19"; }

}  // namespace

CString Db2Date(const CString& s) {
  if (s.GetLength() < 8) return CString();
  return Piece(s, 7, 2) + "." + Piece(s, 5, 2) + "." + Piece(s, 1, 4);
}

CString Db2Date2(const CString& s) {
  if (s.GetLength() < 8) return CString();
  return Piece(s, 7, 2) + "." + Piece(s, 5, 2) + "." + Piece(s, 3, 2);
}

CString Date2Db(const CString& s) {
  if (s.GetLength() < 10) return CString();
  return Piece(s, 7, 4) + Piece(s, 4, 2) + Piece(s, 1, 2);
}

CString Db2Time(const CString& s) {
  if (s.IsEmpty()) return CString();
  if (s.GetLength() < 6) return Piece(s, 1, 2) + ":" + Piece(s, 3, 2);
  return Piece(s, 1, 2) + ":" + Piece(s, 3, 2) + ":" + Piece(s, 5, 2);
}

CString DDMMYYYY2YYYYMMDD(const CString& s) {
  if (!xtb::DigitsOnly(s)) return CString();
  return Piece(s, 5, 4) + Piece(s, 3, 2) + Piece(s, 1, 2);
}

CString YYYYMMDD2DDMMYYYY(const CString& s) {
  if (!xtb::DigitsOnly(s)) return CString();
  return Piece(s, 7, 2) + Piece(s, 5, 2) + Piece(s, 1, 4);
}

CString MMYY2YYYYMM01(const CString& s) {
  if (!xtb::DigitsOnly(s)) return CString();
  const CString yy = Piece(s, 3, 2);
  return CenturyOf(yy) + yy + Piece(s, 1, 2) + "01";
}

CString YYMM2YYYYMM01(const CString& s) {
  if (!xtb::DigitsOnly(s)) return CString();
  const CString yy = Piece(s, 1, 2);
  return CenturyOf(yy) + yy + Piece(s, 3, 2) + "01";
}

CString MMYY2YYYYMMDD(const CString& s) {
  if (!xtb::DigitsOnly(s)) return CString();
  const int month = xtb::PieceNumber(s, 1, 2);
  const int yy = xtb::PieceNumber(s, 3, 2);
  const int year = yy < 80 ? 2000 + yy : 1900 + yy;
  CString result;
  result.Format("%04d", year);
  return result + Piece(s, 1, 2) + LastDay(month, year);
}

CString YYYYMMDD2YYYYMM31(const CString& s) {
  if (!xtb::DigitsOnly(s)) return CString();
  return Piece(s, 1, 6) + LastDay(xtb::PieceNumber(s, 5, 2), xtb::PieceNumber(s, 1, 4));
}

int LastDayI(int month, int year) {
  switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12:
      return 31;
    case 2:
      return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0 ? 29 : 28;
    default:
      return 30;
  }
}

CString LastDay(int month, int year) {
  CString day;
  day.Format("%d", LastDayI(month, year));
  return day;
}
