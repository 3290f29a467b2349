// The calls on files and folders by name.
#include <cerrno>
#include <string>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/files.h>

#include "file_facts.h"
#include "os/filesystem.h"

namespace {

BOOL Fail(DWORD error) {
  SetLastError(error);
  return FALSE;
}

// The facts of `path` itself (a link not followed), quietly: false when
// there is nothing under the name.
bool Existing(LPCSTR path, xtb::os::FileFacts& facts) {
  const DWORD error = GetLastError();
  const bool found = xtb::os::FactsOf(path, facts, false);
  SetLastError(error);
  return found;
}

bool ReadOnly(const xtb::os::FileFacts& facts) { return !facts.folder && !facts.symbolicLink && (facts.mode & 0222) == 0; }

// The last error after a failed call on `path`, in the words Windows uses
// for the call: `folderError` where a folder stood, `fileError` for a file.
BOOL FailedOnKind(LPCSTR path, DWORD folderError, DWORD fileError) {
  xtb::os::FileFacts facts;
  if (Existing(path, facts)) {
    if (facts.folder && folderError != NO_ERROR) return Fail(folderError);
    if (!facts.folder && fileError != NO_ERROR) return Fail(fileError);
  }
  return FALSE;
}

}  // namespace

BOOL CreateDirectoryA(LPCSTR pathName, LPSECURITY_ATTRIBUTES) {
  if (pathName == nullptr) return Fail(ERROR_PATH_NOT_FOUND);
  return xtb::os::MakeFolder(pathName);
}

BOOL RemoveDirectoryA(LPCSTR pathName) {
  if (pathName == nullptr) return Fail(ERROR_PATH_NOT_FOUND);
  return xtb::os::RemoveFolder(pathName) || FailedOnKind(pathName, NO_ERROR, ERROR_DIRECTORY);
}

BOOL DeleteFileA(LPCSTR fileName) {
  if (fileName == nullptr) return Fail(ERROR_PATH_NOT_FOUND);
  // Windows keeps a read-only file from being deleted; this system would not.
  xtb::os::FileFacts facts;
  if (Existing(fileName, facts) && (facts.folder || ReadOnly(facts))) return Fail(ERROR_ACCESS_DENIED);
  return xtb::os::RemoveFile(fileName);
}

BOOL CopyFileA(LPCSTR existingFileName, LPCSTR newFileName, BOOL failIfExists) {
  if (existingFileName == nullptr || newFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (xtb::os::CopyWholeFile(existingFileName, newFileName, failIfExists != FALSE)) return TRUE;
  if (errno == EEXIST) return Fail(ERROR_FILE_EXISTS);
  return FALSE;
}

BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags) {
  if ((flags & MOVEFILE_DELAY_UNTIL_REBOOT) != 0) return Fail(ERROR_NOT_SUPPORTED);
  if (existingFileName == nullptr || newFileName == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  const bool replace = (flags & MOVEFILE_REPLACE_EXISTING) != 0;
  xtb::os::FileFacts source, target;
  if (replace && Existing(newFileName, target) && (target.folder || ReadOnly(target))) return Fail(ERROR_ACCESS_DENIED);
  bool moved = xtb::os::MovePath(existingFileName, newFileName, replace);
  if (!moved && errno == EXDEV && (flags & MOVEFILE_COPY_ALLOWED) != 0) {
    // Another file system: a file is copied and removed, a folder stays.
    if (!Existing(existingFileName, source) || source.folder) return Fail(ERROR_NOT_SAME_DEVICE);
    moved = xtb::os::CopyWholeFile(existingFileName, newFileName, !replace);
    if (!moved && errno == EEXIST) return Fail(ERROR_ALREADY_EXISTS);
    moved = moved && xtb::os::RemoveFile(existingFileName);
  }
  if (moved && (flags & MOVEFILE_WRITE_THROUGH) != 0) moved = xtb::os::SyncFolderOf(newFileName);
  return moved;
}

BOOL MoveFileA(LPCSTR existingFileName, LPCSTR newFileName) {
  return MoveFileExA(existingFileName, newFileName, MOVEFILE_COPY_ALLOWED);
}

DWORD GetFileAttributesA(LPCSTR fileName) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  return GetFileAttributesExA(fileName, GetFileExInfoStandard, &data) ? data.dwFileAttributes : INVALID_FILE_ATTRIBUTES;
}

BOOL GetFileAttributesExA(LPCSTR fileName, GET_FILEEX_INFO_LEVELS infoLevel, LPVOID information) {
  if (infoLevel != GetFileExInfoStandard || information == nullptr) return Fail(ERROR_INVALID_PARAMETER);
  if (fileName == nullptr) return Fail(ERROR_PATH_NOT_FOUND);
  xtb::os::FileFacts facts;
  if (!xtb::os::FactsOf(fileName, facts)) return FALSE;
  *static_cast<WIN32_FILE_ATTRIBUTE_DATA*>(information) = xtb::win32::AttributeDataOf(facts, xtb::win32::LastNameOf(fileName));
  return TRUE;
}

BOOL SetFileAttributesA(LPCSTR fileName, DWORD fileAttributes) {
  if (fileName == nullptr) return Fail(ERROR_PATH_NOT_FOUND);
  xtb::os::FileFacts facts;
  if (!xtb::os::FactsOf(fileName, facts)) return FALSE;
  if (facts.folder) return TRUE;  // Windows gives a folder's read-only flag no meaning either
  // Read-only takes every write bit; leaving it gives write to whoever may read.
  const unsigned mode = (fileAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? facts.mode & ~0222u
                                                                         : facts.mode | ((facts.mode & 0444u) >> 1);
  return mode == facts.mode || xtb::os::SetPermissions(fileName, mode);
}
