// Date and time forms of the suite and the clock.
//
// Forms (Y M D h m s f are digits): DB date YYYYMMDD, display date
// DD.MM.YYYY, short display date DD.MM.YY, digit date DDMMYYYY, month entry
// MMYY, reversed month entry YYMM, DB time hhmmss or hhmm, display time
// hh:mm:ss or hh:mm, time stamp YYYYMMDDhhmmss, clock stamp = time stamp +
// fff, ISO local stamp YYYY-MM-DDThh:mm:ss, ISO clock stamp = ISO local
// stamp + ".fff". All stamps are local time (the tz database of TZ).
// The empty string means "no value": unusable input gives an empty result.
// Two-digit years of the month entries: 00-79 are 2000-2079, 80-99 1980-1999.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/timeclasses.h>

#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif

// ---- Clock -----------------------------------------------------------------

XTBASIS_C_API CTime GetXTTime(void);
// Local date and time to the second; status invalid when the local-time
// conversion fails.
XTBASIS_C_API COleDateTime GetXTOleTime(void);
// Today as DB date.
XTBASIS_C_API CString GetXTDate(void);
// Clock stamps. A call that reads the same clock record (seconds,
// milliseconds, zone offset, daylight-saving flag) as the previous call of
// the same function on the same thread gets the milliseconds + 1 (modulo
// 1000, nothing carried). Each thread keeps its own previous record, so
// consecutive calls on one thread always differ and threads never race.
XTBASIS_C_API CString GetStechUhr(void);
XTBASIS_C_API CString GetStechUhrISO8601(void);
// Time stamp / ISO local stamp of now, no milliseconds, no distinctness rule.
XTBASIS_C_API CString GetStechUhr2(void);
XTBASIS_C_API CString GetStechUhr2ISO8601(void);
// Time stamp of `t` in local time; empty for 0 and negative times. Throws
// CAtlException(E_INVALIDARG) beyond the range the time class converts.
XTBASIS_C_API CString TimestampToStr(__time64_t t);

// ---- Conversions by position ---------------------------------------------

// DB date -> display date / short display date; empty below 8 characters.
XTBASIS_C_API CString Db2Date(const CString& s);
XTBASIS_C_API CString Db2Date2(const CString& s);
// Display date -> DB date; the separators are not looked at; empty below 10.
XTBASIS_C_API CString Date2Db(const CString& s);
// DB time -> display time: 1030 gives 10:30, 103015 gives 10:30:15.
XTBASIS_C_API CString Db2Time(const CString& s);
// The following take digits only: an empty text, or one with any other
// character, gives an empty result; missing positions give empty pieces.
XTBASIS_C_API CString DDMMYYYY2YYYYMMDD(const CString& s);
XTBASIS_C_API CString YYYYMMDD2DDMMYYYY(const CString& s);
// First day of the month of a month entry / reversed month entry.
XTBASIS_C_API CString MMYY2YYYYMM01(const CString& s);
XTBASIS_C_API CString YYMM2YYYYMM01(const CString& s);
// Last day of the month of a month entry.
XTBASIS_C_API CString MMYY2YYYYMMDD(const CString& s);
// Last day of the DB date's month.
XTBASIS_C_API CString YYYYMMDD2YYYYMM31(const CString& s);

// ---- Month lengths and weeks ----------------------------------------------

// 28 to 31 days of the Gregorian month; any month value outside 1-12 gives 30.
XTBASIS_C_API CString LastDay(int month, int year);
XTBASIS_C_API int LastDayI(int month, int year);
// ISO 8601 week (Monday first; week 1 holds the first Thursday), 1 to 53;
// 0 for a date whose status is not valid.
XTBASIS_C_API int GetCalWeekNo(COleDateTime& d);

#if defined(__clang__)
#pragma clang diagnostic pop
#endif
