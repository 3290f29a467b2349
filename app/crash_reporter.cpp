#include "crash_reporter.h"

#include <xtbasis/crashreport.h>
#include <xtbasis/trace.h>

#include <cerrno>
#include <string>

#include "crash_launch.h"
#include "os/folder.h"
#include "os/process.h"

namespace xtb {
namespace {

// Makes the report folder `path` and each missing parent. The folder itself
// is written by all of the suite's accounts: made here it gets exactly 01777,
// sticky, so that an account may rename or remove only the crash folders it
// made. Parents made here are 0755: no other account may move the report
// folder away. Its own name may lie in a folder others write: a link in its
// place is refused.
bool MakeReportFolder(const std::string& path) {
  for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    const std::string parent = path.substr(0, slash);
    os::FileFacts facts;
    if (!os::FactsOf(parent.c_str(), facts)) os::Folder::Make(parent, 0755);
  }
  if (os::Folder::Make(path, 01777).IsOpen()) return true;
  // Opening a link as a folder without following it says ENOTDIR; the
  // trace names the link.
  os::FileFacts facts;
  if (os::FactsOf(path.c_str(), facts, false) && facts.symbolicLink) errno = ELOOP;
  return false;
}

}  // namespace
}  // namespace xtb

int XTInstallCrashReporter(const char* reportDir, const char* appName, const char* appVersion, const char* regKey,
                           const char* logDir) {
  int status = 1;
  int failure = 0;
  if (reportDir == nullptr || *reportDir == '\0') {
    failure = EINVAL;
  } else if (!xtb::MakeReportFolder(reportDir) || !xtb::InstallCrashHandlers()) {
    failure = errno;
  } else {
    xtb::CrashMessage& message = xtb::ProcessCrashMessage();
    xtb::CopyField(message.appName, appName);
    xtb::CopyField(message.appVersion, appVersion);
    xtb::CopyField(message.regKey, regKey);
    xtb::CopyField(message.logDir, logDir);
    xtb::CopyField(message.reportDir, reportDir);
    status = 0;
  }
  XTTrace(XTTRACE_INFO, 0, __FILE__, __LINE__, "crInstall: %d", status);
  if (status != 0) {
    // A link in place of the report folder is named as such.
    const std::string error = xtb::os::EntryErrorText(failure);
    XTTrace(XTTRACE_ERROR, 0, __FILE__, __LINE__, "crGetLastErrorMsg: %s", error.c_str());
  }
  return status;
}

void XTUninstallCrashReporter() { xtb::ProcessCrashMessage().reportDir[0] = '\0'; }
