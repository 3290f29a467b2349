// Colour notations: record colour "bbggrr" (a COLORREF in hexadecimal) and
// screen colour "#rrggbb".
#include <cstdio>

#include <xtbasis/platform/winlong.h>
#include <xtbasis/textformats.h>

namespace {

// The three character pairs of a six-digit colour in reverse order.
CString ReversePairs(const CString& digits) { return digits.Mid(4, 2) + digits.Mid(2, 2) + digits.Mid(0, 2); }

}  // namespace

COLORREF Farbe2ColorRef(const CString& farbe, COLORREF defaultColour) {
  if (farbe.IsEmpty()) return defaultColour;
  return static_cast<COLORREF>(xtb::winlong::StrToL(farbe, nullptr, 16)) | 0xFF000000u;
}

CString ColorRef2Farbe(COLORREF colour, COLORREF defaultColour) {
  if (colour == defaultColour) return CString();
  char buf[16];
  const int n = std::snprintf(buf, sizeof buf, "%06x", static_cast<unsigned int>(colour & 0xFFFFFFu));
  return CString(buf, n);
}

CString Farbe2XTColor(const CString& farbe) {
  if (farbe.IsEmpty()) return CString();
  return "#" + ReversePairs(farbe);
}

CString XTColor2Farbe(const CString& colour) {
  if (colour.GetLength() < 2) return CString();
  return ReversePairs(colour.Mid(1));
}
