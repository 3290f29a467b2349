// The thread-local last error. Calls that fail set a Windows error number,
// the one a program written for Windows compares with: an errno value is
// stored as the Windows number of the same failure (ENOENT as
// ERROR_FILE_NOT_FOUND, EACCES as ERROR_ACCESS_DENIED ...), one without a
// counterpart as ERROR_GEN_FAILURE, never as itself.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>

XTBASIS_C_API DWORD GetLastError(void);
XTBASIS_C_API void SetLastError(DWORD error);

namespace xtb {

// The Windows number for an errno value (ERROR_GEN_FAILURE where there is
// none).
XTBASIS_API DWORD WinErrorFromErrno(int error);
// The errno value of the same failure as a Windows number (its text is the
// system's text for that number), 0 for a number no errno value matches.
XTBASIS_API int ErrnoFromWinError(DWORD error);
// SetLastError(WinErrorFromErrno(errno)).
XTBASIS_API void SetLastErrorFromErrno();

}  // namespace xtb
