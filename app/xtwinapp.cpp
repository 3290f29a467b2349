#include <xtbasis/crashreport.h>
#include <xtbasis/sysbase.h>
#include <xtbasis/winapp.h>

#include <cstdlib>

CXTWinApp::CXTWinApp() : CWinApp(nullptr) {}

CXTWinApp::CXTWinApp(const char* appName) : CWinApp(appName) {}

CXTWinApp::~CXTWinApp() = default;

void CXTWinApp::AtXTExit(void (*handler)()) {
  if (handler != nullptr) m_exitHandlers.push_back(handler);
}

// Window ghosting does not exist on this platform; nothing to switch off.
BOOL CXTWinApp::InitInstance() { return CWinApp::InitInstance(); }

void CXTWinApp::UseCrashRpt(const CString& reportDir, const CString& appName, const CString& appVersion,
                            const CString& regKey) {
  const char* logDir = gp_XTSysBase != nullptr ? gp_XTSysBase->LogDir.GetString() : "";
  m_nCrashRptStatus = XTInstallCrashReporter(reportDir, appName, appVersion, regKey, logDir);
}

int CXTWinApp::ExitInstance() {
  // By index: a handler may register further handlers, which run in this
  // pass; the list is emptied so that no handler runs twice.
  for (size_t i = 0; i < m_exitHandlers.size(); ++i) m_exitHandlers[i]();
  m_exitHandlers.clear();
  if (m_nCrashRptStatus == 0) XTUninstallCrashReporter();
  return CWinApp::ExitInstance();
}

LRESULT CXTWinApp::ProcessWndProcException(CException* e, const MSG* msg) {
  if (m_nCrashRptStatus == 0) throw;  // the exception being handled goes on to the reporter
  return CWinApp::ProcessWndProcException(e, msg);
}

void AtXTExit(void (*handler)()) {
  if (handler == nullptr) return;
  if (auto* app = dynamic_cast<CXTWinApp*>(AfxGetApp())) {
    app->AtXTExit(handler);
    return;
  }
  std::atexit(handler);
}
