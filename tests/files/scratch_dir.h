// A fresh folder for one test that is also the temporary directory of the
// system base object while the test runs; removed with its content after.
#pragma once

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "xtb-files-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) std::abort();
    m_path = pattern + "/";
    m_sysBase.TempDir = m_path.c_str();
    m_previous = gp_XTSysBase;
    gp_XTSysBase = &m_sysBase;
  }
  ~ScratchDir() {
    gp_XTSysBase = m_previous;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(m_path, ignored))
      chmod(entry.path().c_str(), 0700);
    std::filesystem::remove_all(m_path, ignored);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  // The folder, ending with '/'.
  const std::string& Path() const { return m_path; }
  std::string Path(const std::string& name) const { return m_path + name; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
    return Path(name);
  }
  CXTSysBase& SysBase() { return m_sysBase; }

 private:
  std::string m_path;
  CXTSysBase m_sysBase;
  CXTSysBase* m_previous = nullptr;
};
