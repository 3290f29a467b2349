// Uniquely named temporary files and folders in the application's
// temporary directory, removed again when their object goes.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

class XTBASIS_API CTmpFile {
 public:
  explicit CTmpFile(bool autoDelete) : m_autoDelete(autoDelete) {}
  virtual ~CTmpFile();
  CTmpFile(const CTmpFile&) = default;
  CTmpFile& operator=(const CTmpFile&) = default;

  // A non-null `prefix` becomes s_Prefix for this and every later call.
  // Creates a new, empty file named by the first three characters of the
  // prefix, a unique four-digit hexadecimal number and ".TMP" (exclusively,
  // so two processes never get the same name) and returns its path; empty
  // when no file could be created. A path held before is forgotten.
  CString Create(const char* prefix = nullptr);

  const CString& GetPath() const { return m_path; }
  bool IsAutoDelete() const { return m_autoDelete; }

  static CString s_Prefix;  // "tmp" at start

 protected:
  bool m_autoDelete;
  CString m_path;
};

// A temporary folder; its path ends with '/'. The destructor removes it with
// everything inside (write-protected entries are made deletable first).
class XTBASIS_API CTmpDir : public CTmpFile {
 public:
  explicit CTmpDir(bool autoDelete = true) : CTmpFile(autoDelete) {}
  ~CTmpDir() override;
  CTmpDir(const CTmpDir&) = default;
  CTmpDir& operator=(const CTmpDir&) = default;

  // A temporary file's name turned into a folder: the file is created,
  // deleted and a folder of that name made; empty on failure.
  CString Create(const char* prefix = nullptr);
};
