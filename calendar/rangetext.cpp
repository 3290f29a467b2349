// Typed from/to ranges of display dates: "DD.MM.YYYY-DD.MM.YYYY", either
// year possibly of two digits.
#include "positions.h"
#include <xtbasis/numbers.h>
#include <xtbasis/quarters.h>

using xtb::Piece;

namespace {

bool DigitsAt(const CString& s, int first, int count) { return NumStr(Piece(s, first, count), count, count); }

bool CharAt(const CString& s, int position, char c) { return s.GetLength() >= position && s[position - 1] == c; }

// DD.MM.YY from position `first`; DD.MM.YYYY when `longYear`.
bool DateAt(const CString& s, int first, bool longYear) {
  return DigitsAt(s, first, 2) && CharAt(s, first + 2, '.') && DigitsAt(s, first + 3, 2) &&
         CharAt(s, first + 5, '.') && DigitsAt(s, first + 6, longYear ? 4 : 2);
}

// The display date at `first`, its two-digit year completed: a first digit
// 0-7 gives 20xx, 8 and 9 give 19xx.
CString LongDateAt(const CString& s, int first, bool longYear) {
  if (longYear) return Piece(s, first, 10);
  const char decade = s[first + 5];
  return Piece(s, first, 6) + (decade <= '7' ? "20" : "19") + Piece(s, first + 6, 2);
}

// Both dates of a range text with the given year lengths; the outputs are
// written only when the shape matches.
bool RangeAt(const CString& text, bool longFrom, bool longTo, CString& von, CString& bis) {
  const int hyphen = longFrom ? 11 : 9;
  if (!DateAt(text, 1, longFrom) || !CharAt(text, hyphen, '-') || !DateAt(text, hyphen + 1, longTo)) return false;
  von = LongDateAt(text, 1, longFrom);
  bis = LongDateAt(text, hyphen + 1, longTo);
  return true;
}

}  // namespace

bool VonDatumOk(const CString& text, CString& von) {
  const int length = text.GetLength();
  if (length < 8) return false;
  const bool longYear = length >= 10;
  if (!DateAt(text, 1, longYear)) return false;
  von = LongDateAt(text, 1, longYear);
  return true;
}

bool BisDatumOk(const CString& text, CString& bis) {
  const int length = text.GetLength();
  if (length < 9 || !CharAt(text, 1, '-')) return false;
  const bool longYear = length >= 11;
  if (!DateAt(text, 2, longYear)) return false;
  bis = LongDateAt(text, 2, longYear);
  return true;
}

bool VonBisDatumOk(const CString& text, CString& von, CString& bis) {
  const int length = text.GetLength();
  if (length >= 21) return RangeAt(text, true, true, von, bis);
  if (length >= 19) return RangeAt(text, true, false, von, bis) || RangeAt(text, false, true, von, bis);
  if (length >= 17) return RangeAt(text, false, false, von, bis);
  return false;
}
