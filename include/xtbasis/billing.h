// Fields of billing records: quantities in hundredths behind a unit-type
// prefix ("S  150" is 1.5, "S-   25" is -0.25) and the one-character VAT keys.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// Quantities with a unit type.
XTBASIS_C_API CString DoubleToAnzEinheit3Typ(double value, const CString& unitType);
XTBASIS_C_API CString DoubleToVzAnzEinheit3Typ(double value, const CString& unitType);
XTBASIS_C_API CString AToVzAnzEinheit3Typ(const CString& text, const CString& unitType);
XTBASIS_C_API double AnzEinheit3TypToDouble(const CString& field);
XTBASIS_C_API double VzAnzEinheit3TypToDouble(const CString& field);
XTBASIS_C_API CString VzAnzEinheit3TypToA(const CString& field);

// VAT keys: '1'..'9' are 1..9, 'a'..'q' are 10..26, anything else 0.
XTBASIS_C_API int UStKey2MwStSatz(const CString& key);
XTBASIS_C_API char MwStSatz2UStKey(int rate);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
