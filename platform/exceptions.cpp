#include <xtbasis/platform/exceptions.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <xtbasis/platform/lasterror.h>

#include "utf8cp1252.h"

CException::~CException() = default;

BOOL CException::CopyMessage(const CString& text, LPSTR buffer, UINT maxLength, PUINT helpContext) {
  if (helpContext) *helpContext = 0;
  if (!buffer || maxLength == 0) return FALSE;
  const size_t copied = std::min(static_cast<size_t>(text.GetLength()), static_cast<size_t>(maxLength - 1));
  std::memcpy(buffer, text.GetString(), copied);
  buffer[copied] = '\0';
  return TRUE;
}

BOOL CException::GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext) const {
  if (helpContext) *helpContext = 0;
  if (buffer && maxLength > 0) buffer[0] = '\0';
  return FALSE;
}

void CException::Delete() {
  if (m_bAutoDelete) delete this;
}

BOOL CMemoryException::GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext) const {
  return CopyMessage(xtb::Utf8ToCp1252("Nicht genügend Arbeitsspeicher."), buffer, maxLength, helpContext);
}

CFileException::CFileException(int cause, LONG osError, LPCSTR fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName) {}

BOOL CFileException::GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext) const {
  // %s stands for the file's name.
  static const char* const kTexts[] = {
      "Bei %s ist kein Fehler aufgetreten.",
      "Beim Zugriff auf %s ist ein unbekannter Fehler aufgetreten.",
      "%s wurde nicht gefunden.",
      "%s enthält einen ungültigen Pfad.",
      "%s konnte nicht geöffnet werden, weil zu viele Dateien geöffnet sind.",
      "Der Zugriff auf %s wurde verweigert.",
      "Mit %s ist ein ungültiges Dateihandle verbunden.",
      "%s konnte nicht entfernt werden, weil es das aktuelle Verzeichnis ist.",
      "%s konnte nicht angelegt werden, weil das Verzeichnis voll ist.",
      "Die Positionierung in %s ist fehlgeschlagen.",
      "Beim Zugriff auf %s ist ein Ein-/Ausgabefehler der Hardware aufgetreten.",
      "Beim Zugriff auf %s ist eine Freigabeverletzung aufgetreten.",
      "Beim Sperren eines Bereichs von %s ist ein Fehler aufgetreten.",
      "Beim Schreiben von %s ist der Datenträger voll.",
      "Beim Lesen von %s wurde über das Dateiende hinaus gelesen.",
  };
  const int cause = m_cause >= none && m_cause <= endOfFile ? m_cause : genericException;
  const CString name = m_strFileName.IsEmpty() ? CString(xtb::Utf8ToCp1252("eine unbenannte Datei")) : m_strFileName;
  CString text(xtb::Utf8ToCp1252(kTexts[cause]));
  const int at = text.Find("%s");
  text = text.Left(at) + name + text.Mid(at + 2);
  // A sentence starts upper case even when the name does not.
  if (at == 0 && m_strFileName.IsEmpty()) text.SetAt(0, 'E');
  return CopyMessage(text, buffer, maxLength, helpContext);
}

int CFileException::OsErrorToException(LONG osError) {
  switch (osError) {
    case ERROR_SUCCESS: return none;
    case ERROR_FILE_NOT_FOUND: return fileNotFound;
    case ERROR_PATH_NOT_FOUND: case ERROR_INVALID_NAME: case ERROR_BAD_NETPATH:
    case ERROR_FILENAME_EXCED_RANGE: case ERROR_DIRECTORY: return badPath;
    case ERROR_TOO_MANY_OPEN_FILES: return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED: case ERROR_WRITE_PROTECT: case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return accessDenied;
    case ERROR_INVALID_HANDLE: return invalidFile;
    case ERROR_DIR_NOT_EMPTY: return removeCurrentDir;
    case ERROR_NEGATIVE_SEEK: case ERROR_SEEK_ON_DEVICE: return badSeek;
    case ERROR_NOT_READY: case ERROR_WRITE_FAULT: case ERROR_READ_FAULT: return hardIO;
    case ERROR_SHARING_VIOLATION: return sharingViolation;
    case ERROR_LOCK_VIOLATION: return lockViolation;
    case ERROR_HANDLE_DISK_FULL: case ERROR_DISK_FULL: return diskFull;
    case ERROR_HANDLE_EOF: return endOfFile;
    default: return genericException;
  }
}

int CFileException::ErrnoToException(int error) {
  switch (error) {
    case 0: return none;
    case ENOENT: return fileNotFound;
    case ENOTDIR: case ENAMETOOLONG: case ELOOP: case EISDIR: return badPath;
    case EMFILE: case ENFILE: return tooManyOpenFiles;
    case EACCES: case EPERM: case EROFS: case EEXIST: return accessDenied;
    case EBADF: return invalidFile;
    case EBUSY: case ENOTEMPTY: return removeCurrentDir;
    case ESPIPE: case EOVERFLOW: return badSeek;
    case EIO: return hardIO;
    case EWOULDBLOCK: return sharingViolation;
    case EDEADLK: case ENOLCK: return lockViolation;
    case ENOSPC: case EDQUOT: return diskFull;
    default: return genericException;
  }
}

void CFileException::ThrowOsError(LONG osError, LPCSTR fileName) {
  if (osError != 0) AfxThrowFileException(OsErrorToException(osError), osError, fileName);
}

void CFileException::ThrowErrno(int error, LPCSTR fileName) {
  if (error != 0) AfxThrowFileException(ErrnoToException(error), static_cast<LONG>(xtb::WinErrorFromErrno(error)), fileName);
}

void AfxThrowMemoryException() {
  static CMemoryException s_exception(FALSE);
  throw &s_exception;
}

void AfxThrowFileException(int cause, LONG osError, LPCSTR fileName) {
  throw new CFileException(cause, osError, fileName);
}

void AtlThrow(HRESULT hr) { throw CAtlException(hr); }
