#include "mailtrace.h"

#include <xtbasis/errortext.h>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/trace.h>

namespace xtb::mail {

void TraceFailure(int line, const std::string& what) {
  const CString text = CString(what) + GetLastErrorString(nullptr, GetLastError());
  XTTrace(XTTRACE_ERROR, XTTRACE_PROGID_XTBASIS, "XTMailslot", line, "%s", text.GetString());
}

}  // namespace xtb::mail
