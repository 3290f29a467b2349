// Windows' basic types and helpers beyond the library's signatures:
// LARGE_INTEGER, ULARGE_INTEGER, the FILETIME and SYSTEMTIME conversions,
// ZeroMemory and its kin, min and max (NOMINMAX honoured),
// UNREFERENCED_PARAMETER, TEXT, MulDiv, and the lstr* and CharUpper/CharLower
// text calls on code page 1252.
//
// min and max are function-like macros, as the Windows headers define them.
// The C++ library of this system is not written for such macros (its own
// declarations of std::min, std::max and numeric_limits<T>::max() would be
// expanded), so this header includes every standard header that would break
// before it defines them: a program may include <algorithm>, <limits>,
// <string> ... after <windows.h> as it did on Windows. Other libraries'
// headers (Boost and the like) are not protected: include them before
// <windows.h> or define NOMINMAX. Code of the program's own that calls
// std::min or numeric_limits<T>::max() writes (std::min)(a, b), as on Windows.
#pragma once

#include <cstring>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/timeclasses.h>
#include <xtbasis/platform/wintypes.h>

// LowPart and HighPart are there directly and in `u`, as on Windows (an
// unnamed structure: a compiler extension that g++ and clang accept).
typedef union _LARGE_INTEGER {
  struct {
    DWORD LowPart;
    LONG HighPart;
  };
  struct {
    DWORD LowPart;
    LONG HighPart;
  } u;
  LONGLONG QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

union ULARGE_INTEGER {
  struct {
    DWORD LowPart;
    DWORD HighPart;
  };
  struct {
    DWORD LowPart;
    DWORD HighPart;
  } u;
  ULONGLONG QuadPart;
};
typedef ULARGE_INTEGER* PULARGE_INTEGER;

typedef SYSTEMTIME* PSYSTEMTIME;
typedef const FILETIME* LPCFILETIME;
typedef const SYSTEMTIME* LPCSYSTEMTIME;

// FILETIME counts 100-nanosecond intervals since 1601-01-01 00:00 UTC.
// SystemTimeToFileTime refuses parts out of range (ERROR_INVALID_PARAMETER)
// and ignores wDayOfWeek; FileTimeToSystemTime refuses values of 2^63 and
// more. The local forms shift by the zone's offset of now, daylight saving
// included, as Windows does, not by the offset the moment itself had.
XTBASIS_C_API BOOL SystemTimeToFileTime(const SYSTEMTIME* systemTime, LPFILETIME fileTime);
XTBASIS_C_API BOOL FileTimeToSystemTime(const FILETIME* fileTime, LPSYSTEMTIME systemTime);
XTBASIS_C_API BOOL FileTimeToLocalFileTime(const FILETIME* fileTime, LPFILETIME localFileTime);
XTBASIS_C_API BOOL LocalFileTimeToFileTime(const FILETIME* localFileTime, LPFILETIME fileTime);
// -1, 0 or 1.
XTBASIS_C_API LONG CompareFileTime(const FILETIME* first, const FILETIME* second);
XTBASIS_C_API void GetSystemTimeAsFileTime(LPFILETIME fileTime);

#define ZeroMemory(destination, length) std::memset((destination), 0, (length))
#define CopyMemory(destination, source, length) std::memcpy((destination), (source), (length))
#define MoveMemory(destination, source, length) std::memmove((destination), (source), (length))
#define FillMemory(destination, length, fill) std::memset((destination), (fill), (length))
#define RtlZeroMemory ZeroMemory
#define RtlCopyMemory CopyMemory
#define RtlMoveMemory MoveMemory
#define RtlFillMemory FillMemory

// Clears memory with stores the compiler may not drop (passwords, keys).
inline PVOID SecureZeroMemory(PVOID destination, size_t length) {
  volatile char* bytes = static_cast<volatile char*>(destination);
  while (length--) *bytes++ = 0;
  return destination;
}

#define UNREFERENCED_PARAMETER(parameter) ((void)(parameter))
#define TEXT(text) text
#define __TEXT(text) text

// number * numerator / denominator in 64 bits, rounded to the nearest
// integer (halves away from zero); -1 when the denominator is 0 or the
// result does not fit in 32 bits.
XTBASIS_C_API int MulDiv(int number, int numerator, int denominator);

// The lstr* calls. A null text is read as empty by lstrlenA; the copies
// return null for a null argument instead of faulting. lstrcpynA copies at
// most length - 1 characters and always ends the copy with NUL.
// lstrcmpA and lstrcmpiA order as a word list does (-1, 0, 1): letters by
// their base letter first, so "a" < "B" and "ä" < "b"; texts equal so far
// then by accent, then lower case before upper case (lstrcmpA only).
XTBASIS_C_API int lstrlenA(LPCSTR text);
XTBASIS_C_API LPSTR lstrcpyA(LPSTR destination, LPCSTR source);
XTBASIS_C_API LPSTR lstrcpynA(LPSTR destination, LPCSTR source, int length);
XTBASIS_C_API LPSTR lstrcatA(LPSTR destination, LPCSTR source);
XTBASIS_C_API int lstrcmpA(LPCSTR first, LPCSTR second);
XTBASIS_C_API int lstrcmpiA(LPCSTR first, LPCSTR second);

// CharUpperA and CharLowerA change a text in place and return it; a
// "pointer" whose high bits are zero carries one character in its low byte
// and the result carries it changed, as on Windows. The Buff forms change
// `length` bytes and return that count.
XTBASIS_C_API LPSTR CharUpperA(LPSTR text);
XTBASIS_C_API LPSTR CharLowerA(LPSTR text);
XTBASIS_C_API DWORD CharUpperBuffA(LPSTR text, DWORD length);
XTBASIS_C_API DWORD CharLowerBuffA(LPSTR text, DWORD length);
XTBASIS_C_API BOOL IsCharAlphaA(CHAR ch);
XTBASIS_C_API BOOL IsCharAlphaNumericA(CHAR ch);
XTBASIS_C_API BOOL IsCharUpperA(CHAR ch);
XTBASIS_C_API BOOL IsCharLowerA(CHAR ch);
inline LPSTR CharNextA(LPCSTR text) { return const_cast<LPSTR>(text && *text ? text + 1 : text); }
inline LPSTR CharPrevA(LPCSTR start, LPCSTR current) {
  return const_cast<LPSTR>(current > start ? current - 1 : start);
}

#define lstrlen lstrlenA
#define lstrcpy lstrcpyA
#define lstrcpyn lstrcpynA
#define lstrcat lstrcatA
#define lstrcmp lstrcmpA
#define lstrcmpi lstrcmpiA
#define CharUpper CharUpperA
#define CharLower CharLowerA
#define CharUpperBuff CharUpperBuffA
#define CharLowerBuff CharLowerBuffA
#define IsCharAlpha IsCharAlphaA
#define IsCharAlphaNumeric IsCharAlphaNumericA
#define IsCharUpper IsCharUpperA
#define IsCharLower IsCharLowerA
#define CharNext CharNextA
#define CharPrev CharPrevA

#ifndef NOMINMAX
// Every standard header whose own code the macros below would break; once
// included, their guards keep them from being read again.
#include <algorithm>
#include <array>
#include <atomic>
#include <barrier>
#include <bitset>
#include <chrono>
#include <cmath>
#include <codecvt>
#include <complex>
#include <condition_variable>
#include <deque>
#include <execution>
#include <filesystem>
#include <forward_list>
#include <fstream>
#include <functional>
#include <future>
#include <iomanip>
#include <ios>
#include <iostream>
#include <istream>
#include <iterator>
#include <latch>
#include <limits>
#include <list>
#include <locale>
#include <map>
#include <memory>
#include <memory_resource>
#include <mutex>
#include <numeric>
#include <ostream>
#include <queue>
#include <random>
#include <ranges>
#include <regex>
#include <semaphore>
#include <set>
#include <shared_mutex>
#include <span>
#include <sstream>
#include <stack>
#include <stdexcept>
#include <stop_token>
#include <streambuf>
#include <string>
#include <string_view>
#include <syncstream>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <unordered_set>
#include <valarray>
#include <vector>

#ifndef max
#define max(a, b) (((a) > (b)) ? (a) : (b))
#endif
#ifndef min
#define min(a, b) (((a) < (b)) ? (a) : (b))
#endif
#endif
