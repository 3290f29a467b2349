// A scratch folder that is also the temporary directory of the system base
// object while the test runs.
#pragma once

#include <xtbasis/sysbase.h>

#include "scratch_dir.h"

class ScratchTempDir : public ScratchDir {
 public:
  ScratchTempDir() {
    m_sysBase.TempDir = Path().c_str();
    m_previous = gp_XTSysBase;
    gp_XTSysBase = &m_sysBase;
  }
  ~ScratchTempDir() { gp_XTSysBase = m_previous; }
  CXTSysBase& SysBase() { return m_sysBase; }

 private:
  CXTSysBase m_sysBase;
  CXTSysBase* m_previous = nullptr;
};
