#include <xtbasis/platform/lasterror.h>

#include <cerrno>

namespace {

thread_local DWORD t_lastError = ERROR_SUCCESS;

struct ErrnoAndWindows {
  int errnoValue;
  DWORD windows;
};

// errno values and the Windows numbers of the same failure. From errno to
// Windows the first row of an errno value counts; from Windows to errno
// (whose text the system has in the user's language) the first row of a
// Windows number. The rows after the first for a number follow the C
// runtime's published table of Windows numbers and the errno values it
// gives them.
constexpr ErrnoAndWindows kTable[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {EINTR, ERROR_OPERATION_ABORTED},
    {EIO, ERROR_GEN_FAILURE},
    {ENXIO, ERROR_DEV_NOT_EXIST},
    {E2BIG, ERROR_BAD_ENVIRONMENT},
    {ENOEXEC, ERROR_BAD_EXE_FORMAT},
    {EBADF, ERROR_INVALID_HANDLE},
    {ECHILD, ERROR_WAIT_NO_CHILDREN},
    {EAGAIN, ERROR_SHARING_VIOLATION},  // a lock that is held (flock without waiting)
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EFAULT, ERROR_INVALID_ADDRESS},
    {EBUSY, ERROR_BUSY},
    {EEXIST, ERROR_ALREADY_EXISTS},
    {EXDEV, ERROR_NOT_SAME_DEVICE},
    {ENODEV, ERROR_DEV_NOT_EXIST},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {EISDIR, ERROR_DIRECTORY},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {ENFILE, ERROR_TOO_MANY_OPEN_FILES},
    {EMFILE, ERROR_TOO_MANY_OPEN_FILES},
    {ENOTTY, ERROR_INVALID_FUNCTION},
    {ETXTBSY, ERROR_SHARING_VIOLATION},
    {EFBIG, ERROR_FILE_TOO_LARGE},
    {ENOSPC, ERROR_DISK_FULL},
    {ESPIPE, ERROR_SEEK_ON_DEVICE},
    {EROFS, ERROR_WRITE_PROTECT},
    {EMLINK, ERROR_TOO_MANY_LINKS},
    {EPIPE, ERROR_BROKEN_PIPE},
    {ERANGE, ERROR_ARITHMETIC_OVERFLOW},
    {EDEADLK, ERROR_POSSIBLE_DEADLOCK},
    {ENAMETOOLONG, ERROR_FILENAME_EXCED_RANGE},
    {ENOSYS, ERROR_NOT_SUPPORTED},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {ELOOP, ERROR_CANT_RESOLVE_FILENAME},
    {EOVERFLOW, ERROR_ARITHMETIC_OVERFLOW},
    {EILSEQ, ERROR_NO_UNICODE_TRANSLATION},
    {ENOTSUP, ERROR_NOT_SUPPORTED},
    {EADDRINUSE, ERROR_ADDRESS_ALREADY_ASSOCIATED},
    {ENETUNREACH, ERROR_NETWORK_UNREACHABLE},
    {ECONNABORTED, ERROR_CONNECTION_ABORTED},
    {ECONNRESET, ERROR_NETNAME_DELETED},
    {ENOTCONN, ERROR_NOT_CONNECTED},
    {ETIMEDOUT, ERROR_TIMEOUT},
    {ECONNREFUSED, ERROR_CONNECTION_REFUSED},
    {EHOSTUNREACH, ERROR_HOST_UNREACHABLE},
    {EDQUOT, ERROR_DISK_QUOTA_EXCEEDED},
    {ECANCELED, ERROR_CANCELLED},
    // Windows numbers no errno value stands for first.
    {EINVAL, ERROR_INVALID_DATA},
    {ENOEXEC, ERROR_BAD_FORMAT},
    {ENOMEM, ERROR_OUTOFMEMORY},
    {EIO, ERROR_WRITE_FAULT},
    {EIO, ERROR_READ_FAULT},
    {EACCES, ERROR_LOCK_VIOLATION},
    {ENOSPC, ERROR_HANDLE_DISK_FULL},
    {ENOENT, ERROR_BAD_NETPATH},
    {ENOENT, ERROR_BAD_NET_NAME},
    {EEXIST, ERROR_FILE_EXISTS},
    {EAGAIN, ERROR_NO_PROC_SLOTS},
    {EINVAL, ERROR_NEGATIVE_SEEK},
    {ENOENT, ERROR_BAD_PATHNAME},
    {EBUSY, ERROR_PIPE_BUSY},
    {EPIPE, ERROR_NO_DATA},
    {ENOTCONN, ERROR_PIPE_NOT_CONNECTED},
    {ETIMEDOUT, ERROR_SEM_TIMEOUT},
    {EINVAL, ERROR_INVALID_NAME},
};

}  // namespace

DWORD GetLastError(void) { return t_lastError; }
void SetLastError(DWORD error) { t_lastError = error; }

namespace xtb {

DWORD WinErrorFromErrno(int error) {
  if (error == 0) return ERROR_SUCCESS;
  for (const ErrnoAndWindows& row : kTable)
    if (row.errnoValue == error) return row.windows;
  return ERROR_GEN_FAILURE;
}

int ErrnoFromWinError(DWORD error) {
  for (const ErrnoAndWindows& row : kTable)
    if (row.windows == error) return row.errnoValue;
  return 0;
}

void SetLastErrorFromErrno() { SetLastError(WinErrorFromErrno(errno)); }

}  // namespace xtb
