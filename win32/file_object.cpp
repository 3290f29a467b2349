#include "file_object.h"

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/files.h>

#include "os/filesystem.h"
#include "os/named_files.h"

namespace xtb::win32 {

FileObject::~FileObject() {
  if (m_deleteOnClose.empty()) return;
  // Only the file this handle opened: a file put under the name since stays.
  os::FileFacts named, own;
  if (os::FactsOf(m_deleteOnClose.c_str(), named, false) && os::FactsOf(m_fd.Get(), own) && named.id == own.id)
    os::RemoveFile(m_deleteOnClose.c_str());
}

bool FileObject::MayRead() const {
  if (!m_read) SetLastError(ERROR_ACCESS_DENIED);
  return m_read;
}

bool FileObject::MayWrite() const {
  if (!m_write) SetLastError(ERROR_ACCESS_DENIED);
  return m_write;
}

namespace {

bool Disposition(DWORD creationDisposition, os::Disposition& disposition) {
  switch (creationDisposition) {
    case CREATE_NEW: disposition = os::Disposition::CreateNew; return true;
    case CREATE_ALWAYS: disposition = os::Disposition::CreateAlways; return true;
    case OPEN_EXISTING: disposition = os::Disposition::OpenExisting; return true;
    case OPEN_ALWAYS: disposition = os::Disposition::OpenAlways; return true;
    case TRUNCATE_EXISTING: disposition = os::Disposition::TruncateExisting; return true;
    default: return false;
  }
}

constexpr DWORD kReadRights = GENERIC_READ | GENERIC_ALL | FILE_READ_DATA;
constexpr DWORD kWriteRights = GENERIC_WRITE | GENERIC_ALL | FILE_WRITE_DATA | FILE_APPEND_DATA;

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

HANDLE OpenFileHandle(LPCSTR fileName, DWORD desiredAccess, DWORD shareMode, DWORD creationDisposition,
                      DWORD flagsAndAttributes) {
  os::NamedOpen how;
  if (fileName == nullptr || !Disposition(creationDisposition, how.disposition)) return Fail(ERROR_INVALID_PARAMETER);
  how.access.read = (desiredAccess & kReadRights) != 0;
  how.access.write = (desiredAccess & kWriteRights) != 0;
  how.access.shareRead = (shareMode & FILE_SHARE_READ) != 0;
  how.access.shareWrite = (shareMode & FILE_SHARE_WRITE) != 0;
  if (how.disposition == os::Disposition::TruncateExisting && !how.access.write) return Fail(ERROR_INVALID_PARAMETER);
  how.createMode = (flagsAndAttributes & FILE_ATTRIBUTE_READONLY) != 0 ? 0444 : 0666;
  how.writeThrough = (flagsAndAttributes & FILE_FLAG_WRITE_THROUGH) != 0;
  bool existed = false;
  os::Fd fd = os::OpenNamed(fileName, how, existed);
  if (!fd.IsOpen()) {
    const DWORD error = GetLastError();
    // Windows' words for a name that is taken and for a folder opened as a file.
    if (how.disposition == os::Disposition::CreateNew && error == ERROR_ALREADY_EXISTS) return Fail(ERROR_FILE_EXISTS);
    if (error == ERROR_DIRECTORY) return Fail(ERROR_ACCESS_DENIED);
    return INVALID_HANDLE_VALUE;
  }
  std::string deleteOnClose = (flagsAndAttributes & FILE_FLAG_DELETE_ON_CLOSE) != 0 ? fileName : "";
  const HANDLE handle =
      OpenHandle(std::make_shared<FileObject>(std::move(fd), how.access.read, how.access.write, std::move(deleteOnClose)));
  if (how.disposition == os::Disposition::CreateAlways || how.disposition == os::Disposition::OpenAlways)
    SetLastError(existed ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return handle;
}

std::shared_ptr<FileObject> FileOf(HANDLE handle) { return ObjectOfKind<FileObject>(handle); }

}  // namespace xtb::win32
