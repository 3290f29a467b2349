// CFile's open file: opening with the framework's flags onto CreateFile,
// reading, writing, positions, length, range locks and closing, each
// failure thrown as a CFileException with the Windows error.
#include <cstdint>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/crt_files.h>
#include <xtbasis/win32/mfc_files.h>

#include "file_object.h"

IMPLEMENT_DYNAMIC(CFile, CObject)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace {

constexpr UINT kAccessBits = 0x0003;
constexpr UINT kShareBits = 0x0070;

struct OpenRequest {
  DWORD access = 0;
  DWORD share = 0;
  DWORD disposition = OPEN_EXISTING;
  DWORD flags = FILE_ATTRIBUTE_NORMAL;
};

// The CreateFile arguments for the framework's flags; false for an access
// or sharing value the framework does not define.
bool RequestFor(UINT openFlags, OpenRequest& request) {
  switch (openFlags & kAccessBits) {
    case CFile::modeRead: request.access = GENERIC_READ; break;
    case CFile::modeWrite: request.access = GENERIC_WRITE; break;
    case CFile::modeReadWrite: request.access = GENERIC_READ | GENERIC_WRITE; break;
    default: return false;
  }
  switch (openFlags & kShareBits) {
    case CFile::shareCompat:
    case CFile::shareExclusive: request.share = 0; break;
    case CFile::shareDenyWrite: request.share = FILE_SHARE_READ; break;
    case CFile::shareDenyRead: request.share = FILE_SHARE_WRITE; break;
    case CFile::shareDenyNone: request.share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: return false;
  }
  if ((openFlags & CFile::modeCreate) != 0)
    request.disposition = (openFlags & CFile::modeNoTruncate) != 0 ? OPEN_ALWAYS : CREATE_ALWAYS;
  if ((openFlags & CFile::osNoBuffer) != 0) request.flags |= FILE_FLAG_NO_BUFFERING;
  if ((openFlags & CFile::osWriteThrough) != 0) request.flags |= FILE_FLAG_WRITE_THROUGH;
  if ((openFlags & CFile::osRandomAccess) != 0) request.flags |= FILE_FLAG_RANDOM_ACCESS;
  if ((openFlags & CFile::osSequentialScan) != 0) request.flags |= FILE_FLAG_SEQUENTIAL_SCAN;
  return true;
}

}  // namespace

CFile::CFile(LPCSTR fileName, UINT openFlags) { OpenOrThrow(fileName, openFlags); }

CFile::~CFile() {
  if (m_hFile != INVALID_HANDLE_VALUE && m_bCloseOnDelete) CloseHandle(m_hFile);
}

void CFile::OpenOrThrow(LPCSTR fileName, UINT openFlags) {
  CFileException error;
  if (!Open(fileName, openFlags, &error)) AfxThrowFileException(error.m_cause, error.m_lOsError, error.m_strFileName);
}

BOOL CFile::Open(LPCSTR fileName, UINT openFlags, CFileException* error) {
  if (m_hFile != INVALID_HANDLE_VALUE) Abort();
  OpenRequest request;
  HANDLE handle = INVALID_HANDLE_VALUE;
  if (!RequestFor(openFlags, request)) {
    SetLastError(ERROR_INVALID_PARAMETER);
  } else {
    handle = CreateFileA(fileName, request.access, request.share, nullptr, request.disposition, request.flags, nullptr);
  }
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD osError = GetLastError();
    if (error != nullptr) {
      error->m_cause = CFileException::OsErrorToException(static_cast<LONG>(osError));
      error->m_lOsError = static_cast<LONG>(osError);
      error->m_strFileName = fileName;
    }
    return FALSE;
  }
  char fullPath[4096];
  m_strFileName = _fullpath(fullPath, fileName, sizeof fullPath) != nullptr ? fullPath : fileName;
  m_hFile = handle;
  m_bCloseOnDelete = TRUE;
  return TRUE;
}

void CFile::Close() {
  const bool failed = m_hFile != INVALID_HANDLE_VALUE && !CloseHandle(m_hFile);
  const DWORD osError = GetLastError();
  const CString name = m_strFileName;
  m_hFile = INVALID_HANDLE_VALUE;
  m_bCloseOnDelete = FALSE;
  m_strFileName.Empty();
  if (failed) CFileException::ThrowOsError(static_cast<LONG>(osError), name);
}

void CFile::Abort() {
  if (m_hFile != INVALID_HANDLE_VALUE) CloseHandle(m_hFile);
  m_hFile = INVALID_HANDLE_VALUE;
  m_bCloseOnDelete = FALSE;
  m_strFileName.Empty();
}

CFile* CFile::Duplicate() const {
  if (m_hFile == INVALID_HANDLE_VALUE) return nullptr;
  HANDLE second = INVALID_HANDLE_VALUE;
  if (!DuplicateHandle(GetCurrentProcess(), m_hFile, GetCurrentProcess(), &second, 0, FALSE, DUPLICATE_SAME_ACCESS))
    ThrowLastError();
  CFile* copy = new CFile(second);
  copy->m_bCloseOnDelete = m_bCloseOnDelete;
  copy->m_strFileName = m_strFileName;
  return copy;
}

UINT CFile::Read(void* buffer, UINT count) {
  if (count == 0) return 0;
  DWORD got = 0;
  if (!ReadFile(m_hFile, buffer, count, &got, nullptr)) ThrowLastError();
  return got;
}

void CFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  DWORD written = 0;
  if (!WriteFile(m_hFile, buffer, count, &written, nullptr)) ThrowLastError();
  if (written != count) AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

void CFile::Flush() {
  if (m_hFile != INVALID_HANDLE_VALUE && !FlushFileBuffers(m_hFile)) ThrowLastError();
}

ULONGLONG CFile::Seek(LONGLONG offset, UINT from) {
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  if (!SetFilePointerEx(m_hFile, distance, &position, from)) ThrowLastError();
  return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetPosition() const {
  LARGE_INTEGER none, position;
  none.QuadPart = 0;
  if (!SetFilePointerEx(m_hFile, none, &position, FILE_CURRENT)) ThrowLastError();
  return static_cast<ULONGLONG>(position.QuadPart);
}

ULONGLONG CFile::GetLength() const {
  LARGE_INTEGER size;
  if (!GetFileSizeEx(m_hFile, &size)) ThrowLastError();
  return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG newLength) {
  Seek(static_cast<LONGLONG>(newLength), begin);
  if (!SetEndOfFile(m_hFile)) ThrowLastError();
}

void CFile::LockRange(ULONGLONG position, ULONGLONG count) {
  const auto file = xtb::win32::FileOf(m_hFile);
  if (file == nullptr || !file->LockRange(position, count)) ThrowLastError();
}

void CFile::UnlockRange(ULONGLONG position, ULONGLONG count) {
  const auto file = xtb::win32::FileOf(m_hFile);
  if (file == nullptr || !file->UnlockRange(position, count)) ThrowLastError();
}

void CFile::ThrowLastError() const {
  const LONG osError = static_cast<LONG>(GetLastError());
  AfxThrowFileException(CFileException::OsErrorToException(osError), osError, m_strFileName);
}
