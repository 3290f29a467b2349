// Small text conventions: IBAN groups, the formatting tags of text fields,
// XML escapes, percent-encoding, MIME types by extension, byte sizes, tab
// lists, colours and the value list of an SQL IN clause.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// Functions with C linkage return CString by value (callers are C++).
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// A blank after every group of four; texts with a blank or under 5 characters stay.
XTBASIS_C_API CString FormatIBAN(const CString& iban);
// Drops <Bold>, <Italic>, <Underline> and their end tags, then undoes one
// level of &quot; &gt; &lt; &amp;.
XTBASIS_C_API CString RemoveTags(CString text);
XTBASIS_C_API CString Str2XML(CString text);  // & < > and '"' escaped
// For a URL: UTF-8 bytes, a blank as '+', reserved and non-ASCII bytes as %XX.
XTBASIS_C_API CString PercentEncode(const CString& text);
// By extension: the registry's HKEY_CLASSES_ROOT\.ext "Content Type", else
// the system's /etc/mime.types; ".xml" is always "application/xml"; "" when unknown.
XTBASIS_C_API CString GetMimeType(const CString& fileName);
XTBASIS_C_API CString BytesToString(double byteCount);  // "1,5 KB" with the locale's separator
// pairs: (prefix, width) text pointers, ended by a null prefix; gives
// "prefix<running total>" items separated by commas.
XTBASIS_C_API CString MakeAbsTabs(const char* const* pairs);

// Record colour "bbggrr" (lower-case "%06x" of a COLORREF) and screen colour "#rrggbb".
XTBASIS_C_API COLORREF Farbe2ColorRef(const CString& farbe, COLORREF defaultColour);
XTBASIS_C_API CString ColorRef2Farbe(COLORREF colour, COLORREF defaultColour);
XTBASIS_C_API CString Farbe2XTColor(const CString& farbe);
XTBASIS_C_API CString XTColor2Farbe(const CString& colour);

// The value list of an SQL IN clause: `text` cut into pieces of `width`
// characters, each quoted, joined by commas ('AB','CD','E'). A width of 0 or
// less gives one piece; an empty text an empty list.
XTBASIS_C_API CString MakeInCall(const CString& text, int width);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
