// The library's German string table and the look-ups by id or text.
//
// An id-or-text value is pointer-sized: 1 to 65535 are string ids, 0 and
// every value from 0x10000 up are addresses of NUL-terminated texts (0 is
// the empty text). Texts are handed out in code page 1252.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// The handle of the library's own module record (its string table); set when
// the library is loaded.
XTBASIS_C_API HINSTANCE g_hInst_XTBasis;

// The id-or-text value of a text.
inline UINT_PTR XTTextRef(const char* text) { return reinterpret_cast<UINT_PTR>(text); }

// The text at the address `idOrText`, or string `idOrText` of `module`
// (whole, however long). False, `out` unchanged, when the module has no
// such string.
XTBASIS_C_API bool GetResourceString(HINSTANCE module, UINT_PTR idOrText, CString& out);
// String `id` of the library's own table (g_hInst_XTBasis); 0 gives true and
// the empty text.
XTBASIS_C_API bool LoadXTString(unsigned short id, CString& out);
// The text at the address, or the library's string of that id.
XTBASIS_C_API bool GetXTString(UINT_PTR idOrText, CString& out);
