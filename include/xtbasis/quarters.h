// Billing quarters, month steps, intervals, typed from/to ranges and ages.
//
// Quarter code: the quarter digit 1-4 and the four-digit year, "22026" for
// April to June 2026. Dates are DB dates (YYYYMMDD) or display dates
// (DD.MM.YYYY); nothing here checks that a day exists unless stated, and
// nothing fails loudly: unusable input gives an empty string or false.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// Quarter code of a DB date; empty unless `d` has exactly 8 characters. A
// month text that names no quarter gives the digit 0.
XTBASIS_C_API CString DbDate2Quartal(const CString& d);
// First day of a quarter; empty unless `q` has exactly 5 characters.
XTBASIS_C_API CString Quartal2DbDate(const CString& q);
XTBASIS_C_API bool GleichesQuartal(const CString& a, const CString& b);

XTBASIS_C_API CString MonatsAnfang(const CString& d);
XTBASIS_C_API CString QuartalsAnfang(const CString& d);
XTBASIS_C_API CString QuartalsEnde(const CString& d);

// The DB date `n` months earlier (later for negative `n`); a day beyond the
// new month's end becomes its last day.
XTBASIS_C_API CString VorMonat(const CString& d, int n);
XTBASIS_C_API CString VorQuartal(const CString& d, int n);
XTBASIS_C_API CString VorJahr(const CString& d, int n);

// `d` within [von, bis] as text; an empty limit is open.
XTBASIS_C_API bool DatumImInterval(const CString& d, const CString& von, const CString& bis);

// Range texts "DD.MM.YYYY-DD.MM.YYYY" (either year may have two digits,
// 0-7 as first digit meaning 20xx, 8 and 9 19xx). The outputs get display
// dates with four-digit years and are written only on success.
XTBASIS_C_API bool VonDatumOk(const CString& text, CString& von);
// `text` starts with the hyphen: "-DD.MM.YYYY" or "-DD.MM.YY".
XTBASIS_C_API bool BisDatumOk(const CString& text, CString& bis);
XTBASIS_C_API bool VonBisDatumOk(const CString& text, CString& von, CString& bis);

// Age on `refDate` of a person born on `birthDate`: completed years, and the
// current month of life counted from 1. An empty or "0000" birth year gives 0, 0.
XTBASIS_C_API void GetAlter(const CString& refDate, const CString& birthDate, int& years, int& months);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
