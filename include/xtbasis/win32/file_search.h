// Listing a folder with a pattern: FindFirstFile, FindNextFile, FindClose and
// WIN32_FIND_DATA.
//
// The pattern's folder part may use '\' or '/'; its last part is matched
// against the folder's names as Windows matches them: without regard to case
// (code page 1252), '*' for any run of characters, '?' for one character or
// for none at the end of a name or before a dot ("ab?.txt" finds "ab.txt"),
// and a final ".*" that also finds a name without a dot ("*.*" finds all).
// "." and ".." are listed first, when they match, in every folder but the
// root. The folder is read once, by FindFirstFile: what FindNextFile returns
// is that picture, in the system's directory order (not sorted, as on
// Windows on other file systems than NTFS).
//
// Not carried: the short 8.3 names (cAlternateFileName is always empty and
// no pattern matches a short name) and the Ex form's filters.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/files.h>

#ifndef ERROR_NO_MORE_FILES
#define ERROR_NO_MORE_FILES 18L
#endif

typedef struct _WIN32_FIND_DATAA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;  // this system keeps none: the last write
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
  DWORD dwReserved0;
  DWORD dwReserved1;
  CHAR cFileName[MAX_PATH];
  CHAR cAlternateFileName[14];
} WIN32_FIND_DATAA, *PWIN32_FIND_DATAA, *LPWIN32_FIND_DATAA;

typedef WIN32_FIND_DATAA WIN32_FIND_DATA;
typedef PWIN32_FIND_DATAA PWIN32_FIND_DATA;
typedef LPWIN32_FIND_DATAA LPWIN32_FIND_DATA;

// INVALID_HANDLE_VALUE with ERROR_FILE_NOT_FOUND when nothing matches (an
// empty name part, "folder\", included) and ERROR_PATH_NOT_FOUND when the
// folder part names no folder.
XTBASIS_C_API HANDLE FindFirstFileA(LPCSTR fileName, LPWIN32_FIND_DATAA findFileData);
// FALSE with ERROR_NO_MORE_FILES after the last match.
XTBASIS_C_API BOOL FindNextFileA(HANDLE findFile, LPWIN32_FIND_DATAA findFileData);
XTBASIS_C_API BOOL FindClose(HANDLE findFile);

#define FindFirstFile FindFirstFileA
#define FindNextFile FindNextFileA
