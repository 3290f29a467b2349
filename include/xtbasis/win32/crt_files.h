// The C runtime's file and folder calls: _access, _mkdir, _rmdir, _getcwd,
// _chdir, _fullpath, _stat, _unlink, _splitpath and _makepath, all reading
// '\\' as a separator.
//
// Calls on files return 0 or -1 with errno set, as the runtime does, and
// leave the Windows last error as the library's file services set it. Paths
// the calls hand back (_getcwd, _fullpath) are the system's, with '/'.
// _splitpath and _makepath work on the text alone: a drive letter ("C:"),
// '\\' and '/' keep their Windows meaning there, and _makepath joins with '\\'.
#pragma once

#include <ctime>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/crt_strings.h>

#define _MAX_PATH 260
#define _MAX_DRIVE 3
#define _MAX_DIR 256
#define _MAX_FNAME 256
#define _MAX_EXT 256

// _access modes: 0 the file or folder exists, 2 it may be written, 4 it may
// be read (every existing file may, as on Windows), 6 both.
XTBASIS_C_API int _access(const char* path, int mode);
XTBASIS_C_API errno_t _access_s(const char* path, int mode);
XTBASIS_C_API int _mkdir(const char* path);
XTBASIS_C_API int _rmdir(const char* path);
XTBASIS_C_API int _chdir(const char* path);
XTBASIS_C_API int _unlink(const char* path);
// The working folder into `buffer` of `size` bytes (ERANGE and null when it
// does not fit); with a null buffer a malloc'd one of at least `size` bytes.
XTBASIS_C_API char* _getcwd(char* buffer, int size);
// `relative` made absolute against the working folder, "." and ".." taken
// out; into `absolute` of `size` bytes, or a malloc'd text when `absolute`
// is null. Null (ERANGE) when it does not fit.
XTBASIS_C_API char* _fullpath(char* absolute, const char* relative, size_t size);
XTBASIS_C_API int _getpid(void);

// The Windows values of the mode bits (they are the system's as well).
#define _S_IFMT 0xF000
#define _S_IFDIR 0x4000
#define _S_IFCHR 0x2000
#define _S_IFIFO 0x1000
#define _S_IFREG 0x8000
#define _S_IREAD 0x0100
#define _S_IWRITE 0x0080
#define _S_IEXEC 0x0040

// The file times are kept as the system's own structure keeps them
// (st_mtim.tv_sec), and st_atime ... name them, so that the structure reads
// the same whether or not the program also includes <sys/stat.h>. A file
// system that keeps no access or change time gives its modification time.
struct XTStatTime {
  time_t tv_sec;
  long tv_nsec;
};
#ifndef st_atime
#define st_atime st_atim.tv_sec
#define st_mtime st_mtim.tv_sec
#define st_ctime st_ctim.tv_sec
#endif

// st_size has 32 bits, as on Windows: _stat of a larger file fails with
// EOVERFLOW; _stat64 has 64.
template <class Size>
struct XTStatFacts {
  unsigned int st_dev;
  unsigned short st_ino;
  unsigned short st_mode;
  short st_nlink;
  short st_uid;
  short st_gid;
  unsigned int st_rdev;
  Size st_size;
  XTStatTime st_atim;
  XTStatTime st_mtim;
  XTStatTime st_ctim;
};
struct _stat : XTStatFacts<LONG> {};
struct _stat64 : XTStatFacts<long long> {};
XTBASIS_C_API int _stat(const char* path, struct _stat* facts);
XTBASIS_C_API int _stat64(const char* path, struct _stat64* facts);
#define _stati64 _stat64

// _splitpath: the drive ("C:"), the folder up to its last '\\' or '/', the
// name and the extension from the last '.' of the name on. "\\\\server\\share\\x"
// has no drive, its folder is "\\\\server\\share\\". Any part may be null. The
// _s form refuses a part too long for its buffer (ERANGE, every part
// emptied); a null part needs the size 0.
XTBASIS_C_API void _splitpath(const char* path, char* drive, char* dir, char* fname, char* ext);
XTBASIS_C_API errno_t _splitpath_s(const char* path, char* drive, size_t driveSize, char* dir, size_t dirSize,
                                   char* fname, size_t fnameSize, char* ext, size_t extSize);
// _makepath: the parts joined, a '\\' after a folder without one, a '.'
// before an extension without one. The _s form refuses a result too long for
// `size` (ERANGE, the empty text).
XTBASIS_C_API void _makepath(char* path, const char* drive, const char* dir, const char* fname, const char* ext);
XTBASIS_C_API errno_t _makepath_s(char* path, size_t size, const char* drive, const char* dir, const char* fname,
                                  const char* ext);
