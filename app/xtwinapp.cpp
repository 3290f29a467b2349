#include <xtbasis/crashreport.h>
#include <xtbasis/sysbase.h>
#include <xtbasis/winapp.h>

#include "exithandlers.h"

// The exit handlers live in m_exitHandlers; the free AtXTExit reaches them
// through the frame's claim while this object is the current application.
CXTWinApp::CXTWinApp() : CWinApp(nullptr) { xtb::frame::ClaimExitHandlers(this, &m_exitHandlers); }

CXTWinApp::CXTWinApp(const char* appName) : CWinApp(appName) {
  xtb::frame::ClaimExitHandlers(this, &m_exitHandlers);
}

CXTWinApp::~CXTWinApp() { xtb::frame::ReleaseExitHandlers(&m_exitHandlers); }

void CXTWinApp::AtXTExit(void (*handler)()) { xtb::frame::AppendExitHandler(m_exitHandlers, handler); }

// Window ghosting does not exist on this platform; nothing to switch off.
BOOL CXTWinApp::InitInstance() { return CWinApp::InitInstance(); }

void CXTWinApp::UseCrashRpt(const CString& reportDir, const CString& appName, const CString& appVersion,
                            const CString& regKey) {
  const char* logDir = gp_XTSysBase != nullptr ? gp_XTSysBase->LogDir.GetString() : "";
  m_nCrashRptStatus = XTInstallCrashReporter(reportDir, appName, appVersion, regKey, logDir);
}

int CXTWinApp::ExitInstance() {
  xtb::frame::RunExitHandlers(m_exitHandlers);
  if (m_nCrashRptStatus == 0) XTUninstallCrashReporter();
  return CWinApp::ExitInstance();
}

LRESULT CXTWinApp::ProcessWndProcException(CException* e, const MSG* msg) {
  if (m_nCrashRptStatus == 0) throw;  // the exception being handled goes on to the reporter
  return CWinApp::ProcessWndProcException(e, msg);
}
