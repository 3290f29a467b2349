// The crash helper's work, run in a process of its own: it reads the
// message of the crashed (or dumping) process from `inputFd` and writes the
// dump, the text report and the crash reporter's folder.
#pragma once

#include <string>

#include "crash_message.h"

namespace xtb {

// 0 when the message was read and the dump written, else 1.
int RunCrashHelperMain(int inputFd);

// The text report of the crash `message` describes, read from the crashed
// process.
std::string ComposeCrashReport(const CrashMessage& message);

}  // namespace xtb
