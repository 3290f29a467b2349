// The computer, the user and the environment: GetComputerName, GetUserName,
// Get/SetEnvironmentVariable, ExpandEnvironmentStrings.
//
// Names of the environment are matched as given and then in upper case (the
// Windows environment ignores case; the programs' names are mostly upper
// case). Where Linux has no variable of a name Windows always sets, its
// value comes from the system: TEMP and TMP (TMPDIR or /tmp), USERPROFILE
// (HOME), USERNAME, COMPUTERNAME, APPDATA, LOCALAPPDATA and PROGRAMDATA (the
// folders of SHGetFolderPath).
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

#define MAX_COMPUTERNAME_LENGTH 15
#define UNLEN 256
#ifndef ERROR_BUFFER_OVERFLOW
#define ERROR_BUFFER_OVERFLOW 111L
#endif
#ifndef ERROR_ENVVAR_NOT_FOUND
#define ERROR_ENVVAR_NOT_FOUND 203L
#endif

// The computer's name (the host name's first label, upper case, at most 15
// characters). `*size` is the buffer's size; on success the name's length,
// when too small the size needed with its NUL (ERROR_BUFFER_OVERFLOW).
XTBASIS_C_API BOOL GetComputerNameA(LPSTR buffer, LPDWORD size);
// The account's name. On success `*size` is the length with the NUL; when
// too small the size needed (ERROR_INSUFFICIENT_BUFFER).
XTBASIS_C_API BOOL GetUserNameA(LPSTR buffer, LPDWORD size);

// The value's length without NUL, or, when it does not fit in `size`, the
// size it needs with its NUL; 0 with ERROR_ENVVAR_NOT_FOUND when not set.
XTBASIS_C_API DWORD GetEnvironmentVariableA(LPCSTR name, LPSTR buffer, DWORD size);
// A null value removes the variable. A name that is empty or holds '=' is
// refused (ERROR_INVALID_PARAMETER).
XTBASIS_C_API BOOL SetEnvironmentVariableA(LPCSTR name, LPCSTR value);
// %NAME% replaced by the variable's value; a name not set stays as written.
// The result's size with its NUL; when that exceeds `size` nothing is written.
// 0 with ERROR_INVALID_PARAMETER for a null source.
XTBASIS_C_API DWORD ExpandEnvironmentStringsA(LPCSTR source, LPSTR destination, DWORD size);

#define GetComputerName GetComputerNameA
#define GetUserName GetUserNameA
#define GetEnvironmentVariable GetEnvironmentVariableA
#define SetEnvironmentVariable SetEnvironmentVariableA
#define ExpandEnvironmentStrings ExpandEnvironmentStringsA
