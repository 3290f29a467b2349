// INI files as Windows reads and writes them: GetPrivateProfileString,
// GetPrivateProfileInt, WritePrivateProfileString.
//
// Sections and keys are found without regard to case; lines whose first
// non-blank is ';' are comments; blanks around names and values do not
// count and one pair of quotes around a value is dropped. A file name
// without a folder names a file in the account's configuration folder
// ($XDG_CONFIG_HOME, else ~/.config), where Windows would take its own
// folder: the one place a program finds again from any working folder and
// may write without rights over the machine. A name with a folder ('\' or
// '/') is taken as it is, a relative one from the working folder.
//
// Writing keeps every other line of the file byte for byte and writes the
// whole file anew beside the old one, then gives it the name: a reader sees
// the old or the new file, never a part, and a link in the file's place
// loses its name instead of leading the write elsewhere. There is no cache:
// every call reads the file, and a write is on the disk when it returns.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

// The value of `keyName` in `appName` (its default, trailing blanks cut,
// when missing) copied to `returnedString`: the count copied without the
// NUL; nSize - 1 when it was cut to fit. A null `appName` gives the names
// of the sections, a null `keyName` those of the section's keys, each
// NUL-ended and the list ended by a second NUL; nSize - 2 when it was cut.
XTBASIS_C_API DWORD GetPrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR defaultValue,
                                             LPSTR returnedString, DWORD nSize, LPCSTR fileName);
// The value read as a decimal number (leading blanks and a '-' allowed,
// reading stops at the first other character; "0x" starts a hexadecimal
// one), 0 for a value that starts with none; `defaultValue` when the key
// is missing or its value empty.
XTBASIS_C_API UINT GetPrivateProfileIntA(LPCSTR appName, LPCSTR keyName, INT defaultValue, LPCSTR fileName);
// Sets `keyName` of `appName` to `string` (a new section or key goes to
// the end of the file or of its section); a null `string` removes the key,
// a null `keyName` the whole section. A missing file is created.
XTBASIS_C_API BOOL WritePrivateProfileStringA(LPCSTR appName, LPCSTR keyName, LPCSTR string, LPCSTR fileName);

#define GetPrivateProfileString GetPrivateProfileStringA
#define GetPrivateProfileInt GetPrivateProfileIntA
#define WritePrivateProfileString WritePrivateProfileStringA
