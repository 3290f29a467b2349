// The crash reporter's side in the crashing program: XTInstallCrashReporter
// makes the report directory and keeps its settings in the process's crash
// message; the crash helper makes each crash's folder in it
// (tools/crashhelper, crashhelper/reporter_folder.h).
#pragma once

namespace xtb {

// Installs the report handlers unless Init has done so (crashreport.cpp).
bool InstallCrashHandlers();

}  // namespace xtb
