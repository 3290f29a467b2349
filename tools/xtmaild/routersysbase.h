// The router's system base object: where its trace file goes and how much
// it records, both from the configuration.
#pragma once

#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

#include "config.h"

namespace xtmaild {

class RouterSysBase : public CXTSysBase {
 public:
  static RouterSysBase& Get() {
    static RouterSysBase base;
    return base;
  }
  CString MainRegKey() override { return "SOFTWARE\\Vantorix\\XTMailRouter"; }
  void Apply(const Config& config) {
    std::string dir = config.logDir;
    if (dir.empty() || dir.back() != '/') dir += '/';
    LogDir = CString(dir);
    gp_XTSysBase = this;
    SetXTTraceLevel(config.traceLevel);
  }
};

}  // namespace xtmaild
