#include <xtbasis/tmpfile.h>

#include "delete_folder.h"
#include "os/filesystem.h"
#include "temp_names.h"

CString CTmpFile::s_Prefix = "tmp";

CTmpFile::~CTmpFile() {
  if (m_autoDelete && !m_path.IsEmpty()) xtb::os::RemoveFile(m_path);
  m_path.Empty();
}

CString CTmpFile::Create(const char* prefix) {
  if (prefix != nullptr) s_Prefix = prefix;
  m_path = xtb::files::CreateUniqueFile(xtb::files::TempDirectory(), s_Prefix);
  return m_path;
}

CTmpDir::~CTmpDir() {
  if (m_autoDelete && !m_path.IsEmpty()) xtb::files::DeleteFolder(m_path);
  m_path.Empty();  // the base destructor must not unlink it again
}

CString CTmpDir::Create(const char* prefix) {
  CString path = CTmpFile::Create(prefix);
  m_path.Empty();
  if (path.IsEmpty() || !xtb::os::RemoveFile(path)) return CString();
  path += '/';
  if (!xtb::os::MakeFolder(path)) return CString();
  m_path = path;
  return m_path;
}
