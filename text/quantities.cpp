// Record fields of a quantity in hundredths behind a one-character unit-type
// prefix, with or without a sign character; and the one-character VAT keys.
#include <cstdio>
#include <cstdlib>

#include <xtbasis/billing.h>

namespace {

// "%5.0f": right-aligned in five characters, never cut (huge values widen it).
CString Hundredths(double hundredths) {
  char buf[512];
  const int n = std::snprintf(buf, sizeof buf, "%5.0f", hundredths);
  return CString(buf, n < static_cast<int>(sizeof buf) ? n : static_cast<int>(sizeof buf) - 1);
}

CString ZeroForm(const CString& unitType) { return unitType + "  000"; }

}  // namespace

CString DoubleToAnzEinheit3Typ(double value, const CString& unitType) {
  if (value == 0) return ZeroForm(unitType);
  return unitType + Hundredths(value * 100);
}

CString DoubleToVzAnzEinheit3Typ(double value, const CString& unitType) {
  if (value > 0) return unitType + " " + Hundredths(value * 100);
  if (value < 0) return unitType + "-" + Hundredths(-value * 100);
  return ZeroForm(unitType);  // zero (and NaN, which has no sign to write)
}

CString AToVzAnzEinheit3Typ(const CString& text, const CString& unitType) {
  const double value = std::atof(text) * 100;
  if (value >= 0) return unitType + " " + Hundredths(value);
  return unitType + "-" + Hundredths(-value);
}

double AnzEinheit3TypToDouble(const CString& field) { return std::atof(field.Mid(1)) / 100; }

double VzAnzEinheit3TypToDouble(const CString& field) {
  if (field.IsEmpty()) return 0;
  const double value = std::atof(field.Mid(2)) / 100;
  return field.GetLength() >= 2 && field[1] == '-' ? -value : value;
}

CString VzAnzEinheit3TypToA(const CString& field) {
  if (field.GetLength() < 2) return "0.0";
  char buf[512];
  const int n = std::snprintf(buf, sizeof buf, "%0.1f", VzAnzEinheit3TypToDouble(field));
  return CString(buf, n < static_cast<int>(sizeof buf) ? n : static_cast<int>(sizeof buf) - 1);
}

int UStKey2MwStSatz(const CString& key) {
  if (key.Compare("1") >= 0 && key.Compare("9") <= 0) return key[0] - '0';
  if (key.Compare("a") >= 0 && key.Compare("r") < 0) return key[0] - 87;
  return 0;
}

char MwStSatz2UStKey(int rate) { return static_cast<char>(rate < 10 ? '0' + rate : rate + 87); }
