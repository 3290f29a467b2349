#include <xtbasis/platform/lasterror.h>

#include <cerrno>

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetLastError(void) { return t_lastError; }
void SetLastError(DWORD error) { t_lastError = error; }

namespace xtb {

DWORD WinErrorFromErrno(int error) {
  switch (error) {
    case 0: return ERROR_SUCCESS;
    case ENOENT: return ERROR_FILE_NOT_FOUND;
    case ENOTDIR: return ERROR_PATH_NOT_FOUND;
    case EMFILE: case ENFILE: return ERROR_TOO_MANY_OPEN_FILES;
    case EACCES: case EPERM: return ERROR_ACCESS_DENIED;
    case EBADF: return ERROR_INVALID_HANDLE;
    case ENOMEM: return ERROR_NOT_ENOUGH_MEMORY;
    case EROFS: return ERROR_WRITE_PROTECT;
    case EWOULDBLOCK: return ERROR_SHARING_VIOLATION;
    case ENOSYS: case ENOTSUP: return ERROR_NOT_SUPPORTED;
    case EEXIST: return ERROR_ALREADY_EXISTS;
    case EINVAL: return ERROR_INVALID_PARAMETER;
    case EPIPE: return ERROR_BROKEN_PIPE;
    case ENOSPC: return ERROR_DISK_FULL;
    case ENAMETOOLONG: return ERROR_FILENAME_EXCED_RANGE;
    case ENOTEMPTY: return ERROR_DIR_NOT_EMPTY;
    case EBUSY: return ERROR_BUSY;
    case EISDIR: return ERROR_DIRECTORY;
    case ETIMEDOUT: return ERROR_TIMEOUT;
    case ECANCELED: return ERROR_CANCELLED;
    default: return static_cast<DWORD>(error);
  }
}

int ErrnoFromWinError(DWORD error) {
  static constexpr int kErrnos[] = {ENOENT, ENOTDIR, EMFILE, EACCES, EBADF, ENOMEM, EROFS, EWOULDBLOCK,
                                    ENOTSUP, EEXIST, EINVAL, EPIPE, ENOSPC, ENAMETOOLONG, ENOTEMPTY,
                                    EBUSY, EISDIR, ETIMEDOUT, ECANCELED};
  for (int e : kErrnos)
    if (WinErrorFromErrno(e) == error) return e;
  return error <= static_cast<DWORD>(INT32_MAX) ? static_cast<int>(error) : -1;
}

void SetLastErrorFromErrno() { SetLastError(WinErrorFromErrno(errno)); }

}  // namespace xtb
