// Character classes of code page 1252. The character is taken as an
// unsigned byte; letters and case follow the library's fixed 1252 tables, so
// German letters are letters whatever the process locale says.
#pragma once

#include <xtbasis/platform/api.h>

XTBASIS_C_API bool IsGermanAlpha(char c);  // a-z, A-Z, ä ö ü Ä Ö Ü ß only
XTBASIS_C_API int isxtdigit(unsigned char c);
XTBASIS_C_API int isxtalpha(unsigned char c);
XTBASIS_C_API int isxtalnum(unsigned char c);
XTBASIS_C_API int isxtupper(unsigned char c);
XTBASIS_C_API int isxtlower(unsigned char c);
XTBASIS_C_API int isxtspace(unsigned char c);
