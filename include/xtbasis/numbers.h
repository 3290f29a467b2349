// Character classes of code page 1252, readers of numbers and tokens, number
// formatters, quantities with a unit type and the VAT keys of billing records.
#pragma once

#include "platform/api.h"
#include "platform/cstring.h"
#include "platform/wintypes.h"

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// Character classes: the character is taken as an unsigned byte. Letters and
// case follow the library's fixed code page 1252 tables, so German letters
// are letters whatever the process locale says.
XTBASIS_C_API bool IsGermanAlpha(char c);  // a-z, A-Z, ä ö ü Ä Ö Ü ß only
XTBASIS_C_API int isxtdigit(unsigned char c);
XTBASIS_C_API int isxtalpha(unsigned char c);
XTBASIS_C_API int isxtalnum(unsigned char c);
XTBASIS_C_API int isxtupper(unsigned char c);
XTBASIS_C_API int isxtlower(unsigned char c);
XTBASIS_C_API int isxtspace(unsigned char c);

// Reading characters and tokens. Positions are 0-based.
XTBASIS_C_API bool TryGetChar(const CString& text, int pos, char& c);
XTBASIS_C_API bool TryGetNextChar(const CString& text, int& pos, char& c);
// Skips blanks, collects up to the delimiter (or the end) and moves pos past it.
XTBASIS_C_API bool TryGetNextToken(const CString& text, int& pos, char delimiter, CString& token);
XTBASIS_C_API bool TryGetNextTok(const CString& text, int& pos, const CString& delimiters, CString& token);

// Reading numbers; a text without a number gives 0.
XTBASIS_C_API int ctoi(const CString& text, int& pos);  // unsigned digits after blanks
XTBASIS_C_API int GetNextInt(CString& text);            // removes what it reads
XTBASIS_C_API float GetNextPFloat(CString& text);       // the same, '.' included
XTBASIS_C_API int xtoi(const CString& text, int base);
XTBASIS_C_API unsigned int xtoui(const CString& text, int base);
XTBASIS_C_API int CardToInt(const char* text);
XTBASIS_C_API __int64 CardToInt64(const char* text);
XTBASIS_C_API double CardToDouble(const char* text);
// True when text starts with minDigits..maxDigits digits followed by blanks only.
XTBASIS_C_API bool NumStr(const CString& text, int minDigits, int maxDigits);

// Formatting numbers.
XTBASIS_C_API CString itoc(int value);
XTBASIS_C_API CString i64toc(__int64 value);
XTBASIS_C_API CString itoc0(int value);  // empty for 0
XTBASIS_C_API CString itoc3(int value);  // "1.234.567"
// radix 2..36, lower-case letters; itox writes negative values outside
// radix 10 as their unsigned 32-bit pattern. A radix out of range gives "".
XTBASIS_C_API CString itox(int value, int radix);
XTBASIS_C_API CString uitox(unsigned int value, int radix);
XTBASIS_C_API void pitoc(int value, CString& out, int width);            // "%*d"
XTBASIS_C_API void apitoc(unsigned int value, CString& out, int width);  // "%*u"
XTBASIS_C_API CString ftoc(double value);                                // "%g", locale's separator

// Quantities in hundredths behind a unit-type prefix ("S  150", "S-   25").
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
