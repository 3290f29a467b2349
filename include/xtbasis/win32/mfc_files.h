// The framework's file classes. So far CFileFind: a folder listed with a
// pattern through FindFirstFile and FindNextFile (file_search.h: its
// wildcards, its dots, its attributes).
//
// As in the framework, FindFile only starts the search; each FindNextFile
// steps to the next entry and tells whether another one follows, so the
// last entry is read after FindNextFile returned FALSE:
//   BOOL more = find.FindFile("daten\\*.xml");
//   while (more) { more = find.FindNextFile(); ... find.GetFilePath() ... }
// GetFilePath is the pattern's folder part as given (the working folder
// when it has none) joined to the name with the separator the pattern
// used. The entry's getters give empty or zero values before the first
// FindNextFile.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/file_search.h>

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
