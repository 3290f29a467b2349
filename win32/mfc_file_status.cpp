// What CFile tells and changes of a file by its name: the name's parts,
// CFileStatus of an open file or of a name, SetStatus, Rename and Remove.
#include <algorithm>
#include <cstring>
#include <string_view>

#include <xtbasis/platform/lasterror.h>
#include <xtbasis/win32/crt_files.h>
#include <xtbasis/win32/mfc_files.h>

#include "file_facts.h"
#include "file_object.h"
#include "os/filesystem.h"

namespace {

CString Text(std::string_view text) { return CString(text.data(), static_cast<int>(text.size())); }

// The status of the file `name` (its last part tells whether it is hidden)
// with `facts`; the full name is the caller's.
void Fill(const xtb::os::FileFacts& facts, std::string_view name, CFileStatus& status) {
  status.m_mtime = CTime(facts.modifiedSeconds);
  status.m_ctime = status.m_mtime;
  status.m_atime = CTime(facts.accessedSeconds);
  status.m_size = facts.folder ? 0 : static_cast<ULONGLONG>(facts.size);
  // The framework's attributes know no "normal": that is none of them.
  status.m_attribute = static_cast<BYTE>(xtb::win32::AttributesOf(facts, name) & ~FILE_ATTRIBUTE_NORMAL);
}

}  // namespace

CString CFile::GetFileName() const { return Text(xtb::win32::LastNameOf(m_strFileName.GetString())); }

CString CFile::GetFileTitle() const {
  return Text(xtb::win32::TitleOf(xtb::win32::LastNameOf(m_strFileName.GetString())));
}

BOOL CFile::GetStatus(CFileStatus& status) const {
  status = CFileStatus{};
  const size_t length = std::min(static_cast<size_t>(m_strFileName.GetLength()), sizeof status.m_szFullName - 1);
  std::memcpy(status.m_szFullName, m_strFileName.GetString(), length);
  const auto file = xtb::win32::FileOf(m_hFile);
  xtb::os::FileFacts facts;
  if (file == nullptr) return FALSE;
  if (!xtb::os::FactsOf(file->Get(), facts)) {
    xtb::SetLastErrorFromErrno();
    return FALSE;
  }
  Fill(facts, xtb::win32::LastNameOf(m_strFileName.GetString()), status);
  return TRUE;
}

BOOL CFile::GetStatus(LPCSTR fileName, CFileStatus& status) {
  status = CFileStatus{};
  xtb::os::FileFacts facts;
  if (fileName == nullptr || *fileName == '\0') {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return FALSE;
  }
  if (_fullpath(status.m_szFullName, fileName, sizeof status.m_szFullName) == nullptr) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return FALSE;
  }
  if (!xtb::os::FactsOf(fileName, facts)) return FALSE;
  Fill(facts, xtb::win32::LastNameOf(fileName), status);
  return TRUE;
}

void CFile::SetStatus(LPCSTR fileName, const CFileStatus& status) {
  const DWORD attributes = GetFileAttributesA(fileName);
  if (attributes == INVALID_FILE_ATTRIBUTES) CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), fileName);
  const auto seconds = [](const CTime& time) { return time.GetTime() != 0 ? time.GetTime() : -1; };
  if ((status.m_mtime.GetTime() != 0 || status.m_atime.GetTime() != 0) &&
      !xtb::os::SetTimes(fileName, seconds(status.m_mtime), seconds(status.m_atime)))
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), fileName);
  if (status.m_attribute != static_cast<BYTE>(attributes & ~FILE_ATTRIBUTE_NORMAL) &&
      !SetFileAttributesA(fileName, status.m_attribute))
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), fileName);
}

void CFile::Rename(LPCSTR oldName, LPCSTR newName) {
  if (!MoveFileA(oldName, newName)) CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), oldName);
}

void CFile::Remove(LPCSTR fileName) {
  if (!DeleteFileA(fileName)) CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), fileName);
}
