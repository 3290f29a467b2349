// The thread-local last error. Calls that fail set a Windows error number:
// the errno values that have a Windows counterpart are stored as that number
// (ENOENT as ERROR_FILE_NOT_FOUND, EACCES as ERROR_ACCESS_DENIED ...), any
// other errno value as itself.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

XTBASIS_C_API DWORD GetLastError(void);
XTBASIS_C_API void SetLastError(DWORD error);

namespace xtb {

// The Windows number for an errno value (itself where there is none).
XTBASIS_API DWORD WinErrorFromErrno(int error);
// The errno value behind a last-error number: the inverse of
// WinErrorFromErrno for the numbers it maps, the number itself otherwise
// (-1 for numbers beyond int).
XTBASIS_API int ErrnoFromWinError(DWORD error);
// SetLastError(WinErrorFromErrno(errno)).
XTBASIS_API void SetLastErrorFromErrno();

}  // namespace xtb
