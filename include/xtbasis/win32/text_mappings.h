// The generic-text names of the 8-bit build: _T, _TCHAR, _tmain and the _t*
// functions mapped to their char forms.
//
// Each maps to what the 8-bit Windows build maps it to: the runtime's own
// names (_stricmp, _strupr, _splitpath, sprintf_s ...) to the kit's, which
// read code page 1252 and '\\' in paths, the standard C names to the C
// library's own. Those read paths as the system does (fopen, remove and
// rename take '/' only) and their number forms have the system's widths
// (strtol and atol read a 64-bit long). _tprintf and _ftprintf are the
// exception: they format as sprintf_s does, so that a CString given to %s
// prints as it did on Windows.
#pragma once

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/crt_files.h>
#include <xtbasis/win32/crt_strings.h>

#define _T(text) text
#define _TEXT(text) text
typedef char _TCHAR;
typedef signed char _TSCHAR;
typedef unsigned char _TUCHAR;
typedef char _TXCHAR;
typedef int _TINT;
#define _TEOF EOF

#define _tmain main
#define _tWinMain WinMain
#define _tenviron environ

// Text.
#define _tcslen strlen
#define _tcsclen strlen
#define _tcsnlen strnlen
#define _tcscpy strcpy
#define _tcsncpy strncpy
#define _tcscat strcat
#define _tcsncat strncat
#define _tcscmp strcmp
#define _tcsncmp strncmp
#define _tcsnccmp strncmp
#define _tcsicmp _stricmp
#define _tcsnicmp _strnicmp
#define _tcsncicmp _strnicmp
#define _tcscoll strcoll
#define _tcschr strchr
#define _tcsrchr strrchr
#define _tcsstr strstr
#define _tcsspn strspn
#define _tcscspn strcspn
#define _tcspbrk strpbrk
#define _tcstok strtok
#define _tcstok_s strtok_s
#define _tcsdup _strdup
#define _tcsupr _strupr
#define _tcslwr _strlwr
#define _tcsupr_s _strupr_s
#define _tcslwr_s _strlwr_s
#define _tcsrev _strrev
#define _tcscpy_s strcpy_s
#define _tcsncpy_s strncpy_s
#define _tcscat_s strcat_s
#define _tcsncat_s strncat_s
#define _tcserror strerror
#define _tcsftime strftime

// Numbers.
#define _ttoi atoi
#define _ttol atol
#define _tstoi atoi
#define _tstol atol
#define _ttoi64 _atoi64
#define _tstoi64 _atoi64
#define _ttof atof
#define _tcstol strtol
#define _tcstoul strtoul
#define _tcstod strtod
#define _tcstoi64 _strtoi64
#define _tcstoui64 _strtoui64
#define _itot _itoa
#define _ltot _ltoa
#define _ultot _ultoa
#define _i64tot _i64toa
#define _ui64tot _ui64toa
#define _itot_s _itoa_s
#define _i64tot_s _i64toa_s

// Formatted text.
#define _stprintf sprintf
#define _vstprintf vsprintf
#define _stprintf_s sprintf_s
#define _vstprintf_s vsprintf_s
#define _sntprintf _snprintf
#define _vsntprintf _vsnprintf
#define _sntprintf_s _snprintf_s
#define _vsntprintf_s _vsnprintf_s
#define _sctprintf _scprintf
#define _vsctprintf _vscprintf
#define _tprintf xtb::win32::PrintFormatted
#define _vtprintf vprintf
#define _ftprintf xtb::win32::PrintFormattedTo
#define _vftprintf vfprintf
#define _stscanf sscanf
#define _tscanf scanf
#define _ftscanf fscanf

// Streams and the environment.
#define _tfopen fopen
#define _tfreopen freopen
#define _fgetts fgets
#define _fputts fputs
#define _puttc putc
#define _puttchar putchar
#define _gettc getc
#define _gettchar getchar
#define _tperror perror
#define _tremove remove
#define _trename rename
#define _tgetenv getenv
#define _tsystem system
#define _tctime ctime
#define _tasctime asctime

// Files and paths (the kit's, '\\' read as '/').
#define _taccess _access
#define _tmkdir _mkdir
#define _trmdir _rmdir
#define _tchdir _chdir
#define _tgetcwd _getcwd
#define _tfullpath _fullpath
#define _tunlink _unlink
#define _tstat _stat
#define _tstat64 _stat64
#define _tstati64 _stati64
#define _tsplitpath _splitpath
#define _tsplitpath_s _splitpath_s
#define _tmakepath _makepath
#define _tmakepath_s _makepath_s

// Character classes and case (the C library's, on the process locale).
#define _istalpha isalpha
#define _istalnum isalnum
#define _istdigit isdigit
#define _istxdigit isxdigit
#define _istspace isspace
#define _istupper isupper
#define _istlower islower
#define _istpunct ispunct
#define _istprint isprint
#define _istgraph isgraph
#define _istcntrl iscntrl
#define _istascii isascii
#define _totupper toupper
#define _totlower tolower
