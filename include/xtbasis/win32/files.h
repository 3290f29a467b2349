// Files and folders by handle and by name: CreateFile with Windows' sharing
// modes, ReadFile, WriteFile, SetFilePointer, GetFileSize, SetEndOfFile,
// FlushFileBuffers, GetFileType; CreateDirectory, RemoveDirectory,
// DeleteFile, CopyFile, MoveFile(Ex), GetFileAttributes(Ex),
// SetFileAttributes; the current folder, the program's file name,
// GetTempPath and GetTempFileName. Every path may use '\' or '/'.
//
// Sharing modes are advisory locks between the opens of the kit (and of
// CFile): an open that does not share what another open does, or does what
// another does not share, fails at once with ERROR_SHARING_VIOLATION, as on
// Windows. Programs that do not use the kit take no such locks and are not
// stopped; deleting or renaming an open file always succeeds, as it does
// on this system (FILE_SHARE_DELETE is accepted and changes nothing).
//
// Attributes as this system keeps them: FILE_ATTRIBUTE_DIRECTORY for a
// folder, FILE_ATTRIBUTE_READONLY when nobody may write the file (no write
// bit), FILE_ATTRIBUTE_HIDDEN for a name that starts with '.', and
// FILE_ATTRIBUTE_ARCHIVE for every regular file (as a file written on
// Windows has it); FILE_ATTRIBUTE_NORMAL for anything else that is neither
// (a device, a pipe). SetFileAttributes takes only FILE_ATTRIBUTE_READONLY
// (the write bits of a file); the other attributes are accepted and left.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/types.h>

#define GENERIC_READ 0x80000000u
#define GENERIC_WRITE 0x40000000u
#define GENERIC_EXECUTE 0x20000000u
#define GENERIC_ALL 0x10000000u
#define FILE_READ_DATA 0x0001u
#define FILE_WRITE_DATA 0x0002u
#define FILE_APPEND_DATA 0x0004u

#define FILE_SHARE_READ 0x00000001u
#define FILE_SHARE_WRITE 0x00000002u
#define FILE_SHARE_DELETE 0x00000004u

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define FILE_ATTRIBUTE_READONLY 0x00000001u
#define FILE_ATTRIBUTE_HIDDEN 0x00000002u
#define FILE_ATTRIBUTE_SYSTEM 0x00000004u
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010u
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020u
#define FILE_ATTRIBUTE_DEVICE 0x00000040u
#define FILE_ATTRIBUTE_NORMAL 0x00000080u
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100u
#define FILE_ATTRIBUTE_COMPRESSED 0x00000800u
#define FILE_ATTRIBUTE_OFFLINE 0x00001000u
#define FILE_ATTRIBUTE_NOT_CONTENT_INDEXED 0x00002000u
#define FILE_ATTRIBUTE_ENCRYPTED 0x00004000u
#define INVALID_FILE_ATTRIBUTES 0xFFFFFFFFu

// Accepted; of them FILE_FLAG_WRITE_THROUGH makes every write reach the
// disk and FILE_FLAG_DELETE_ON_CLOSE removes the file when its last handle
// is closed. FILE_FLAG_OVERLAPPED handles still read and write synchronously.
#define FILE_FLAG_WRITE_THROUGH 0x80000000u
#define FILE_FLAG_OVERLAPPED 0x40000000u
#define FILE_FLAG_NO_BUFFERING 0x20000000u
#define FILE_FLAG_RANDOM_ACCESS 0x10000000u
#define FILE_FLAG_SEQUENTIAL_SCAN 0x08000000u
#define FILE_FLAG_DELETE_ON_CLOSE 0x04000000u
#define FILE_FLAG_BACKUP_SEMANTICS 0x02000000u
#define FILE_FLAG_POSIX_SEMANTICS 0x01000000u

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER 0xFFFFFFFFu
#define INVALID_FILE_SIZE 0xFFFFFFFFu

#define FILE_TYPE_UNKNOWN 0x0000u
#define FILE_TYPE_DISK 0x0001u
#define FILE_TYPE_CHAR 0x0002u
#define FILE_TYPE_PIPE 0x0003u

#define MOVEFILE_REPLACE_EXISTING 0x00000001u
#define MOVEFILE_COPY_ALLOWED 0x00000002u
#define MOVEFILE_DELAY_UNTIL_REBOOT 0x00000004u
#define MOVEFILE_WRITE_THROUGH 0x00000008u

#ifndef ERROR_BUFFER_OVERFLOW
#define ERROR_BUFFER_OVERFLOW 111L
#endif


// With a handle of the kit an OVERLAPPED only gives the position of the
// read or write, which then finishes before the call returns.
typedef struct _OVERLAPPED {
  ULONG_PTR Internal;
  ULONG_PTR InternalHigh;
  DWORD Offset;
  DWORD OffsetHigh;
  HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

// The registry's signatures name it; completed here for the callers that
// fill one in (its contents are not used).
struct SECURITY_ATTRIBUTES {
  DWORD nLength;
  LPVOID lpSecurityDescriptor;
  BOOL bInheritHandle;
};
typedef SECURITY_ATTRIBUTES* PSECURITY_ATTRIBUTES;

typedef enum _GET_FILEEX_INFO_LEVELS { GetFileExInfoStandard, GetFileExMaxInfoLevel } GET_FILEEX_INFO_LEVELS;

typedef struct _WIN32_FILE_ATTRIBUTE_DATA {
  DWORD dwFileAttributes;
  FILETIME ftCreationTime;  // this system keeps none: the last write
  FILETIME ftLastAccessTime;
  FILETIME ftLastWriteTime;
  DWORD nFileSizeHigh;
  DWORD nFileSizeLow;
} WIN32_FILE_ATTRIBUTE_DATA, *LPWIN32_FILE_ATTRIBUTE_DATA;

// Security attributes are accepted and not used (the file's mode is 0666
// less the umask, 0444 less it with FILE_ATTRIBUTE_READONLY); the template
// file is ignored.
XTBASIS_C_API HANDLE CreateFileA(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode,
                                 LPSECURITY_ATTRIBUTES security, DWORD creationDisposition,
                                 DWORD flagsAndAttributes, HANDLE templateFile);
XTBASIS_C_API BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD bytesToRead, LPDWORD bytesRead,
                            LPOVERLAPPED overlapped);
XTBASIS_C_API BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD bytesToWrite, LPDWORD bytesWritten,
                             LPOVERLAPPED overlapped);
XTBASIS_C_API DWORD SetFilePointer(HANDLE file, LONG distanceToMove, PLONG distanceToMoveHigh, DWORD moveMethod);
XTBASIS_C_API BOOL SetFilePointerEx(HANDLE file, LARGE_INTEGER distanceToMove, PLARGE_INTEGER newFilePointer,
                                    DWORD moveMethod);
XTBASIS_C_API DWORD GetFileSize(HANDLE file, LPDWORD fileSizeHigh);
XTBASIS_C_API BOOL GetFileSizeEx(HANDLE file, PLARGE_INTEGER fileSize);
XTBASIS_C_API BOOL SetEndOfFile(HANDLE file);
XTBASIS_C_API BOOL FlushFileBuffers(HANDLE file);
XTBASIS_C_API DWORD GetFileType(HANDLE file);

XTBASIS_C_API BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES security);
XTBASIS_C_API BOOL RemoveDirectoryA(LPCSTR pathName);
XTBASIS_C_API BOOL DeleteFileA(LPCSTR fileName);
XTBASIS_C_API BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists);
XTBASIS_C_API BOOL MoveFileA(LPCSTR existingFileName, LPCSTR newFileName);
// MOVEFILE_DELAY_UNTIL_REBOOT is not carried (ERROR_NOT_SUPPORTED).
XTBASIS_C_API BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
XTBASIS_C_API DWORD GetFileAttributesA(LPCSTR fileName);
XTBASIS_C_API BOOL GetFileAttributesExA(LPCSTR fileName, GET_FILEEX_INFO_LEVELS infoLevel, LPVOID information);
XTBASIS_C_API BOOL SetFileAttributesA(LPCSTR fileName, DWORD fileAttributes);

// The folder in this system's form ('/').
XTBASIS_C_API DWORD GetCurrentDirectoryA(DWORD bufferLength, LPSTR buffer);
XTBASIS_C_API BOOL SetCurrentDirectoryA(LPCSTR pathName);
// Null or the program's module: the program's file. A module the library
// registered (XTRegisterModule) has no file of its own: its name in the
// program's folder. Too small a buffer gets the name cut and ended with a
// NUL, nSize and ERROR_INSUFFICIENT_BUFFER, as since Windows Vista.
XTBASIS_C_API DWORD GetModuleFileNameA(HMODULE module, LPSTR fileName, DWORD size);
// TMP, else TEMP, else TMPDIR, else /tmp, always with a trailing separator.
XTBASIS_C_API DWORD GetTempPathA(DWORD bufferLength, LPSTR buffer);
// "<path>/<up to 3 characters of prefix><hex number>.TMP". With unique 0
// the file is made, as a new file of this account alone (mode 0600, O_EXCL,
// no link followed), and the number is the one that was free.
XTBASIS_C_API UINT GetTempFileNameA(LPCSTR pathName, LPCSTR prefixString, UINT unique, LPSTR tempFileName);

#define CreateFile CreateFileA
#define CreateDirectory CreateDirectoryA
#define RemoveDirectory RemoveDirectoryA
#define DeleteFile DeleteFileA
#define CopyFile CopyFileA
#define MoveFile MoveFileA
#define MoveFileEx MoveFileExA
#define GetFileAttributes GetFileAttributesA
#define GetFileAttributesEx GetFileAttributesExA
#define SetFileAttributes SetFileAttributesA
#define GetCurrentDirectory GetCurrentDirectoryA
#define SetCurrentDirectory SetCurrentDirectoryA
#define GetModuleFileName GetModuleFileNameA
#define GetTempPath GetTempPathA
#define GetTempFileName GetTempFileNameA
