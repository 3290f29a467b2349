// The trace records of the mail classes: level 1, id -999, source
// "XTMailslot", the composed text as the message.
#pragma once

#include <string>
#include <xtbasis/platform/cstring.h>

namespace xtb::mail {

// `what` followed by the text of the thread's last error.
void TraceFailure(int line, const std::string& what);

}  // namespace xtb::mail
