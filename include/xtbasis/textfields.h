// Fixed-width record fields and string editing on 8-bit texts (code page 1252).
//
// Positions are 0-based characters unless a function says otherwise. "Blank"
// is the space character only; white space is blank, TAB, LF, VT, FF and CR.
// Cutting to more characters than a text has gives the whole text; a negative
// count gives the empty text. None of these functions fails or traces.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// ---- Padding and alignment -------------------------------------------------

// `text` padded with `fill` to `width`, or its first `width` characters.
XTBASIS_C_API CString LeftFix(const CString& text, int width, char fill);
// `fill` characters then `text`, `width` in all, or the last `width` characters.
XTBASIS_C_API CString RightFix(const CString& text, int width, char fill);
// `text` centred in `width`; an odd remainder goes to the right. A longer text
// gives its first `width` characters.
XTBASIS_C_API CString CentFix(const CString& text, int width, char fill);
// The first `width` characters of `text`, padded with `fill` to `width`.
XTBASIS_C_API CString FillTail(const CString& text, int width, char fill);
// A number aligned on its decimal separator: integer part right-aligned in
// `intWidth`, fraction left-aligned in `fracWidth`, both padded with blanks.
XTBASIS_C_API CString DecimalFix(const CString& text, int intWidth, int fracWidth, const CString& separator);
// `count` characters from `start` (all of them when `count` < 0); empty when
// `start` is negative or not less than the length.
XTBASIS_C_API CString GetMidStr(const CString& text, int start, int count);
XTBASIS_C_API CString TrimLeft(const CString& text);
XTBASIS_C_API CString TrimRight(const CString& text);
// Trimmed, with every run of blanks reduced to one blank (TABs untouched).
XTBASIS_C_API CString OptimSpaces(const CString& text);
// Every occurrence of `from` replaced by `to`, left to right, without
// overlaps and without rescanning inserted text. An empty `from` changes nothing.
XTBASIS_C_API CString ReplaceTo(const CString& text, const CString& from, const CString& to);

// ---- In-place editing ------------------------------------------------------

XTBASIS_C_API void AppendBlanks(CString& text, int count);
// Appends blanks up to `width` characters; never cuts.
XTBASIS_C_API void AddBlanks(CString& text, unsigned short width);
// Blanks among the last `count` characters become '0'.
XTBASIS_C_API void TrailZeroes(CString& text, unsigned short count);
// Inserts `count` blanks before the 1-based position `pos`.
XTBASIS_C_API void InsertBlanks(CString& text, int pos, int count);
// Removes the characters up to and including `pos`.
XTBASIS_C_API void DeleteLeft(CString& text, int pos);
// Overwrites from `pos` with `part`; a non-NUL `fill` first lengthens the text
// so that all of `part` fits, NUL never lengthens it.
XTBASIS_C_API void PutMidStr(CString& text, int pos, const CString& part, char fill);
// Replaces every `from` (all != 0) or only the first one.
XTBASIS_C_API void ReplaceCharWith(CString& text, char from, char to, int all);
XTBASIS_C_API void ReplaceAll(CString& text, char from, char to);
XTBASIS_C_API void RemoveBlanks(CString& text);
XTBASIS_C_API void Trim(CString& text);
// Replaces `placeholder`, matched against the text lower-cased by code page
// 1252, by `value`; returns the number of replacements.
XTBASIS_C_API int Pseudos2Text(CString& text, const CString& placeholder, const CString& value);
// Drops the leading fields up to the `count`-th `separator` (or the last one),
// then leading white space. Without a separator the text stays as it is.
XTBASIS_C_API void ExtractString(CString& text, const CString& separator, int count);
// Storage for `length` characters; the content stays as it is.
XTBASIS_C_API void ReserveString(CString& text, int length);

// ---- Reading ---------------------------------------------------------------

// `out` = up to `count` characters from `pos`; `pos` advances by what was taken.
XTBASIS_C_API void GetChars(const CString& text, CString& out, int& pos, int count, int trimRight);
// Splits at a two-character separator at `pos`: the left side (right == 0) or
// the part behind the separator.
XTBASIS_C_API void CopySubStr(const CString& text, CString& out, int pos, int right);
// Advances `pos` over blanks; false at the end, else true with `c` at `pos`.
XTBASIS_C_API bool SkipBlanks(const CString& text, int& pos, char& c);
// Occurrences of `pattern`, overlapping ones included.
XTBASIS_C_API short ScanString(const CString& text, const CString& pattern);

// ---- Tests -----------------------------------------------------------------

// Only digits '0'-'9' (the empty text included).
XTBASIS_C_API bool IsNumeric(const char* text);
// Empty or blanks only.
XTBASIS_C_API bool Blank(const char* text);
// Empty or only `c`.
XTBASIS_C_API bool BlankC(const char* text, char c);
// Equal after trimming white space from both.
XTBASIS_C_API bool Treq(CString a, CString b);

// ---- Building lines --------------------------------------------------------

// Takes the next line of at most `width` characters off the front of `text`,
// breaking at a blank; CR and LF count as blanks.
XTBASIS_C_API void LineBreak(CString& text, int width, CString& line);
// As LineBreak, but a line may also end just behind one of `breakChars`.
XTBASIS_C_API void LineBreak2(CString& text, int width, CString& line, const CString& breakChars);
// Appends `item` to the list `text` (with `separator` unless the text is empty
// or ends with CR LF), keeping it within `maxLength` (-1: no limit); returns
// the new length.
XTBASIS_C_API int Add(CString& text, CString separator, CString item, int maxLength);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
