// CFileFind: one entry read ahead, so that FindNextFile can tell whether
// another one follows the entry it steps to.
#include <cstring>
#include <string>
#include <string_view>

#include <xtbasis/win32/files.h>
#include <xtbasis/win32/mfc_files.h>

#include "file_facts.h"

CFileFind::~CFileFind() { Close(); }

void CFileFind::Close() {
  if (m_search != INVALID_HANDLE_VALUE) ::FindClose(m_search);
  m_search = INVALID_HANDLE_VALUE;
  m_hasNext = false;
  m_hasCurrent = false;
  m_root = CString();
}

BOOL CFileFind::FindFile(LPCSTR name, DWORD) {
  Close();
  const std::string_view pattern = name != nullptr ? name : "*.*";
  const size_t separator = pattern.find_last_of("/\\");
  if (separator != std::string_view::npos) {
    m_separator = pattern[separator];
    m_root = CString(pattern.data(), static_cast<int>(separator == 0 ? 1 : separator));
  } else {
    char folder[MAX_PATH * 4];
    const DWORD length = GetCurrentDirectoryA(sizeof folder, folder);
    m_separator = '/';
    m_root = length > 0 && length < sizeof folder ? CString(folder) : CString(".");
  }
  const std::string text(pattern);
  m_search = ::FindFirstFileA(text.c_str(), &m_next);
  m_hasNext = m_search != INVALID_HANDLE_VALUE;
  if (!m_hasNext) m_root = CString();
  return m_hasNext ? TRUE : FALSE;
}

// The member is FindNextFileA here, as in every program that includes
// <windows.h>: the unsuffixed macro renames it alike everywhere.
BOOL CFileFind::FindNextFile() {
  if (!m_hasNext) return FALSE;
  m_current = m_next;
  m_hasCurrent = true;
  m_hasNext = ::FindNextFileA(m_search, &m_next) != FALSE;
  return m_hasNext ? TRUE : FALSE;
}

CString CFileFind::GetFileName() const { return m_hasCurrent ? CString(m_current.cFileName) : CString(); }

CString CFileFind::GetFilePath() const {
  if (!m_hasCurrent) return CString();
  std::string path = m_root.GetString();
  if (!path.empty() && path.back() != '/' && path.back() != '\\') path += m_separator;
  return CString((path + m_current.cFileName).c_str());
}

CString CFileFind::GetFileTitle() const {
  if (!m_hasCurrent) return CString();
  const std::string_view title = xtb::win32::TitleOf(m_current.cFileName);
  return CString(title.data(), static_cast<int>(title.size()));
}

CString CFileFind::GetRoot() const { return m_root; }

ULONGLONG CFileFind::GetLength() const {
  if (!m_hasCurrent) return 0;
  return (static_cast<ULONGLONG>(m_current.nFileSizeHigh) << 32) | m_current.nFileSizeLow;
}

BOOL CFileFind::GetLastWriteTime(FILETIME* time) const {
  if (!m_hasCurrent || time == nullptr) return FALSE;
  *time = m_current.ftLastWriteTime;
  return TRUE;
}

BOOL CFileFind::MatchesMask(DWORD mask) const {
  return m_hasCurrent && (m_current.dwFileAttributes & mask) != 0 ? TRUE : FALSE;
}

BOOL CFileFind::IsDots() const {
  if (!m_hasCurrent || !IsDirectory()) return FALSE;
  return std::strcmp(m_current.cFileName, ".") == 0 || std::strcmp(m_current.cFileName, "..") == 0 ? TRUE : FALSE;
}
