// The crash reporter's folder of one crash, made by the helper in the
// report directory with the dump, the report text and the attachments the
// suite's support asks for.
//
// The folder <appName>_<UTC time>_<pid> holds crashdump.dmp, crashreport.txt,
// properties.txt (AppName, AppVersion, ComputerName), <appName>-reg.xml (the
// registry key, when one was given), xtwpf.log (after xtwpf.lg was renamed
// to it) and r9trace.log of the log folder, and, where the crashed program
// had a display that answers, screenshot.png (screenshot_png.h): the whole
// screen as the helper finds it right after the crash. The picture is taken
// last, so that a display that hangs or breaks off costs only the picture;
// without a display there is none and nothing fails. The folder (0755) and
// its files belong to the crashed program's account: every account reads
// the texts (0644), none but that account changes them, and the dump, which
// holds the crashed program's memory, is its account's alone (0600).
#pragma once

#include <string>

#include "coredump.h"
#include "crash_message.h"

namespace xtb {

// Makes the crash's folder in message.reportDir and fills it.
void CollectCrashReporterFolder(const CrashMessage& message, const CoreDumpRequest& request,
                                const std::string& report);

}  // namespace xtb
