// The trace log of the kit's tests: the settings and the log file are formed
// once per process, so every test of this program that reads the log shares
// one folder and one registry, and reads what its own calls appended.
#pragma once

#include <stdlib.h>

#include <gtest/gtest.h>

#include <string>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

#include "scratch_dir.h"

class TraceLogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    static ScratchDir* folder = new ScratchDir;  // the process's log folder, kept to its end
    static TraceSysBase* sysBase = new TraceSysBase(*folder);
    m_log = folder->Path("r9trace.log");
    setenv("XTBASIS_MSGBOX_ANSWER", "NO", 1);  // the assertion box
    gp_XTSysBase = sysBase;
    SetXTTraceLevel(XTTRACE_INFO);
    m_start = ScratchDir::Read(m_log).size();
  }
  void TearDown() override { unsetenv("XTBASIS_MSGBOX_ANSWER"); }

  // What the test wrote into the log so far.
  std::string NewRecords() const { return ScratchDir::Read(m_log).substr(m_start); }

 private:
  class TraceSysBase : public CXTSysBase {
   public:
    explicit TraceSysBase(const ScratchDir& folder) {
      setenv("XTBASIS_REGISTRY_DIR", folder.Path("hives").c_str(), 1);
      LogDir = CString(folder.Path().c_str());
    }
    CString MainRegKey() override { return "SOFTWARE\\XTKitTest"; }
  };

  std::string m_log;
  size_t m_start = 0;
};
