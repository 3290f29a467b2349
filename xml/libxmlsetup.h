// libxml2 set up once per process for the family's parsers: the library
// initialised, and an entity loader that, while a schema of this family is
// being read, refuses every address that is not a local file.
#pragma once

namespace xtb::xml {

void SetUpLibxml();

// While one lives on a thread, schema documents and their imports are read
// from local files only.
class LocalFilesOnly {
 public:
  LocalFilesOnly();
  ~LocalFilesOnly();
  LocalFilesOnly(const LocalFilesOnly&) = delete;
  LocalFilesOnly& operator=(const LocalFilesOnly&) = delete;

 private:
  bool m_outer;
};

}  // namespace xtb::xml
