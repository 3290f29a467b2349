// The crash reporter: a folder per crash in the report directory with the
// dump, the report text and the attachments the suite's support asks for.
#pragma once

#include <string>

#include "coredump.h"
#include "crash_message.h"

namespace xtb {

// Installs the report handlers unless Init has done so (crashreport.cpp).
bool InstallCrashHandlers();

// In the helper: makes the crash's folder in message.reportDir and fills it.
void CollectCrashReporterFolder(const CrashMessage& message, const CoreDumpRequest& request,
                                const std::string& report);

}  // namespace xtb
