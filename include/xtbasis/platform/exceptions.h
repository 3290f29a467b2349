// The exception classes of the platform layer. Like the familiar framework
// classes they are thrown as pointers (catch (CException* e) ... e->Delete())
// and give their message through GetErrorMessage. CAtlException carries an
// HRESULT and is thrown by value (the time classes raise E_INVALIDARG).
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

#ifndef S_OK
#define S_OK (static_cast<HRESULT>(0L))
#define S_FALSE (static_cast<HRESULT>(1L))
#define E_FAIL (static_cast<HRESULT>(0x80004005L))
#define E_INVALIDARG (static_cast<HRESULT>(0x80070057L))
#define E_OUTOFMEMORY (static_cast<HRESULT>(0x8007000EL))
#define E_NOTIMPL (static_cast<HRESULT>(0x80004001L))
#endif

typedef UINT* PUINT;

class XTBASIS_API CException {
 public:
  explicit CException(BOOL autoDelete = TRUE) : m_bAutoDelete(autoDelete) {}
  virtual ~CException();
  // Copies the message, cut to maxLength - 1 characters and NUL-terminated;
  // TRUE when there is a message. The base class has none.
  virtual BOOL GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext = nullptr) const;
  // Frees an exception thrown from the heap; a static one stays.
  void Delete();

 protected:
  // Copies `text` into the caller's buffer as GetErrorMessage describes.
  static BOOL CopyMessage(const CString& text, LPSTR buffer, UINT maxLength, PUINT helpContext);

 private:
  BOOL m_bAutoDelete;
};

class XTBASIS_API CMemoryException : public CException {
 public:
  explicit CMemoryException(BOOL autoDelete = TRUE) : CException(autoDelete) {}
  BOOL GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext = nullptr) const override;
};

class XTBASIS_API CFileException : public CException {
 public:
  enum {
    none,
    genericException,
    fileNotFound,
    badPath,
    tooManyOpenFiles,
    accessDenied,
    invalidFile,
    removeCurrentDir,
    directoryFull,
    badSeek,
    hardIO,
    sharingViolation,
    lockViolation,
    diskFull,
    endOfFile
  };

  explicit CFileException(int cause = none, LONG osError = -1, LPCSTR fileName = nullptr);
  // German text naming the file, e.g. "Die Datei x wurde nicht gefunden."
  BOOL GetErrorMessage(LPSTR buffer, UINT maxLength, PUINT helpContext = nullptr) const override;

  // The cause for a Windows error number, for an errno value.
  static int OsErrorToException(LONG osError);
  static int ErrnoToException(int error);
  // Throw a new CFileException with the cause of the number; nothing for 0.
  // ThrowErrno keeps the Windows number of the same failure in m_lOsError.
  static void ThrowOsError(LONG osError, LPCSTR fileName = nullptr);
  static void ThrowErrno(int error, LPCSTR fileName = nullptr);

  int m_cause;
  LONG m_lOsError;
  CString m_strFileName;
};

class XTBASIS_API CAtlException {
 public:
  explicit CAtlException(HRESULT hr = E_FAIL) : m_hr(hr) {}
  operator HRESULT() const { return m_hr; }
  HRESULT m_hr;
};

// Throws the one static CMemoryException (no allocation when memory runs out).
[[noreturn]] XTBASIS_API void AfxThrowMemoryException();
// Throws a new CFileException.
[[noreturn]] XTBASIS_API void AfxThrowFileException(int cause, LONG osError = -1, LPCSTR fileName = nullptr);
[[noreturn]] XTBASIS_API void AtlThrow(HRESULT hr);
