// The framework's file classes: CFile and CStdioFile on the kit's CreateFile
// (files.h: its sharing modes, its paths), CFileStatus, and CFileFind, a
// folder listed with a pattern through FindFirstFile and FindNextFile
// (file_search.h: its wildcards, its dots, its attributes).
//
// CFile throws a new CFileException (catch (CFileException* e) ...
// e->Delete()) with the framework's cause for the Windows error, the Windows
// number in m_lOsError and the file's name; Open with an exception object
// fills it in and returns FALSE instead. The sharing modes are the kit's:
// two opens that refuse each other fail with ERROR_SHARING_VIOLATION
// (sharingViolation), as on Windows; removing or renaming an open file
// succeeds, as it does on this system. LockRange holds a range against the
// LockRange of every other open (lockViolation); reads and writes of other
// opens are not stopped by it.
//
// CStdioFile reads and writes as the C runtime's streams do: in text mode
// (the default) "\r\n" is read as "\n", a lone '\r' stays, Ctrl-Z (0x1A)
// ends the data, and every "\n" written becomes "\r\n", so the file is
// the same bytes as on Windows; typeBinary keeps every byte. Positions and
// lengths are the file's bytes. There is no FILE* (m_pStream).
//
// As in the framework, CFileFind's FindFile only starts the search; each
// FindNextFile steps to the next entry and tells whether another one
// follows, so the last entry is read after FindNextFile returned FALSE:
//   BOOL more = find.FindFile("daten\\*.xml");
//   while (more) { more = find.FindNextFile(); ... find.GetFilePath() ... }
// GetFilePath is the pattern's folder part as given (the working folder
// when it has none) joined to the name with the separator the pattern
// used. The entry's getters give empty or zero values before the first
// FindNextFile.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/timeclasses.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/file_search.h>
#include <xtbasis/win32/files.h>
#include <xtbasis/win32/handles.h>
#include <xtbasis/win32/mfc_object.h>

#ifndef ERROR_NOT_LOCKED
#define ERROR_NOT_LOCKED 158L
#endif

// What CFile::GetStatus tells of a file. This system keeps no creation
// time: m_ctime is the last write, as m_mtime. m_attribute holds the
// attributes of files.h (CFile::readOnly, directory, hidden, archive).
struct CFileStatus {
  CTime m_ctime;
  CTime m_mtime;
  CTime m_atime;
  ULONGLONG m_size = 0;
  BYTE m_attribute = 0;
  BYTE m_padding = 0;
  char m_szFullName[MAX_PATH] = {};  // the absolute path, in this system's form
};

class XTBASIS_API CFile : public CObject {
  DECLARE_DYNAMIC(CFile)

 public:
  enum OpenFlags {
    modeRead = 0x00000,
    modeWrite = 0x00001,
    modeReadWrite = 0x00002,
    shareCompat = 0x00000,  // taken as shareExclusive, as in the 32-bit framework
    shareExclusive = 0x00010,
    shareDenyWrite = 0x00020,
    shareDenyRead = 0x00030,
    shareDenyNone = 0x00040,
    modeNoInherit = 0x00080,  // accepted: the kit's handles are never inherited
    modeCreate = 0x01000,
    modeNoTruncate = 0x02000,
    typeText = 0x04000,    // for CStdioFile; CFile ignores both
    typeBinary = 0x08000,
    osNoBuffer = 0x10000,  // the four os flags are accepted; osWriteThrough writes through
    osWriteThrough = 0x20000,
    osRandomAccess = 0x40000,
    osSequentialScan = 0x80000,
  };
  enum Attribute { normal = 0x00, readOnly = 0x01, hidden = 0x02, system = 0x04, volume = 0x08, directory = 0x10, archive = 0x20 };
  enum SeekPosition { begin = 0x0, current = 0x1, end = 0x2 };

  static const HANDLE hFileNull;  // INVALID_HANDLE_VALUE

  CFile() = default;
  // Works on an open handle, which the destructor leaves open (Close closes it).
  explicit CFile(HANDLE file) : m_hFile(file) {}
  // Opens the file or throws.
  CFile(LPCSTR fileName, UINT openFlags);
  // Closes the file without throwing.
  ~CFile() override;

  // FALSE when the file cannot be opened, with `error` filled in when given.
  // An open CFile closes its file first.
  virtual BOOL Open(LPCSTR fileName, UINT openFlags, CFileException* error = nullptr);
  virtual void Close();
  // Closes without throwing, whatever the handle's state.
  virtual void Abort();
  // A new CFile (to be deleted) on a second handle of the same open file:
  // one position, one sharing, closed on its own.
  virtual CFile* Duplicate() const;

  // The count read, 0 at the end.
  virtual UINT Read(void* buffer, UINT count);
  // Throws diskFull when fewer bytes were written than asked.
  virtual void Write(const void* buffer, UINT count);
  virtual void Flush();

  // The new position; a position before the start throws badSeek.
  virtual ULONGLONG Seek(LONGLONG offset, UINT from);
  void SeekToBegin() { Seek(0, begin); }
  ULONGLONG SeekToEnd() { return Seek(0, end); }
  virtual ULONGLONG GetPosition() const;
  virtual ULONGLONG GetLength() const;
  // Cuts or extends the file; the position is then at the new end.
  virtual void SetLength(ULONGLONG newLength);

  virtual void LockRange(ULONGLONG position, ULONGLONG count);
  virtual void UnlockRange(ULONGLONG position, ULONGLONG count);

  // The full path the file was opened with, its last part, that part
  // without its extension; SetFilePath only changes what they give.
  virtual CString GetFileName() const;
  virtual CString GetFileTitle() const;
  virtual CString GetFilePath() const { return m_strFileName; }
  virtual void SetFilePath(LPCSTR newName) { m_strFileName = newName; }

  // The open file's status; FALSE when it cannot be read.
  BOOL GetStatus(CFileStatus& status) const;
  // The status of the file or folder `fileName`; FALSE when there is none
  // or its full path does not fit m_szFullName.
  static BOOL GetStatus(LPCSTR fileName, CFileStatus& status);
  // Sets the times of `status` that are not 0 (the access and modification
  // times: the creation time is not kept here) and then its attributes.
  static void SetStatus(LPCSTR fileName, const CFileStatus& status);
  // MoveFile and DeleteFile, throwing: a name that is taken is refused.
  static void Rename(LPCSTR oldName, LPCSTR newName);
  static void Remove(LPCSTR fileName);

  operator HANDLE() const { return m_hFile; }

  HANDLE m_hFile = INVALID_HANDLE_VALUE;

 protected:
  // What the opening constructors do: Open, or throw its exception.
  void OpenOrThrow(LPCSTR fileName, UINT openFlags);
  // Throws with the last error and this file's name.
  [[noreturn]] void ThrowLastError() const;

  BOOL m_bCloseOnDelete = FALSE;
  CString m_strFileName;
};

// Text lines on a CFile, as the C runtime's streams read and write them.
class XTBASIS_API CStdioFile : public CFile {
  DECLARE_DYNAMIC(CStdioFile)

 public:
  CStdioFile() = default;
  CStdioFile(LPCSTR fileName, UINT openFlags);

  // typeText unless typeBinary is given.
  BOOL Open(LPCSTR fileName, UINT openFlags, CFileException* error = nullptr) override;
  void Close() override;
  void Abort() override;

  // The next line without its "\n"; FALSE at the end, with `text` empty.
  virtual BOOL ReadString(CString& text);
  // At most maxChars - 1 characters up to and with the next "\n", ended
  // with a NUL; null at the end.
  virtual LPSTR ReadString(LPSTR text, UINT maxChars);
  virtual void WriteString(LPCSTR text);

  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  // Hands on what was read ahead; writes are never held back here.
  void Flush() override;
  ULONGLONG Seek(LONGLONG offset, UINT from) override;
  ULONGLONG GetPosition() const override;

 private:
  // Makes at least `count` bytes readable ahead, fewer at the end.
  UINT Ahead(UINT count);
  // The next character as the mode reads it, or -1 at the end.
  int NextCharacter();
  // Puts the handle back where the reader stands and forgets the read-ahead.
  void DropReadAhead();

  bool m_text = true;
  UINT m_start = 0;  // m_buffer[m_start, m_end) was read from the file and not yet handed on
  UINT m_end = 0;
  char m_buffer[4096];
};

class XTBASIS_API CFileFind {
 public:
  CFileFind() = default;
  CFileFind(const CFileFind&) = delete;
  CFileFind& operator=(const CFileFind&) = delete;
  virtual ~CFileFind();

  // Starts a search for `name` ("*.*" when null); FALSE, with the last
  // error of FindFirstFile, when nothing matches. A running search ends.
  BOOL FindFile(LPCSTR name = nullptr, DWORD unused = 0);
  BOOL FindNextFile();
  void Close();

  CString GetFileName() const;
  CString GetFilePath() const;
  CString GetFileTitle() const;  // the name without its extension
  CString GetRoot() const;       // the folder the search lists
  ULONGLONG GetLength() const;
  BOOL GetLastWriteTime(FILETIME* time) const;

  BOOL MatchesMask(DWORD mask) const;
  BOOL IsDots() const;
  BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
  BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
  BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
  BOOL IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }
  BOOL IsNormal() const { return MatchesMask(FILE_ATTRIBUTE_NORMAL); }

 private:
  HANDLE m_search = INVALID_HANDLE_VALUE;
  bool m_hasNext = false;     // m_next holds the entry FindNextFile steps to
  bool m_hasCurrent = false;  // m_current holds the entry the getters read
  WIN32_FIND_DATAA m_next{};
  WIN32_FIND_DATAA m_current{};
  CString m_root;
  char m_separator = '\\';
};
