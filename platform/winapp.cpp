#include <errno.h>
#include <xtbasis/platform/messages.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/platform/winapp.h>

#include <atomic>
#include <vector>

namespace {
std::atomic<CWinApp*> g_currentApp{nullptr};
}

CWinApp::CWinApp(LPCSTR appName) : m_pszAppName(nullptr), m_msgCur{} {
  m_appName = appName != nullptr ? appName : program_invocation_short_name;
  m_pszAppName = m_appName;
  g_currentApp.store(this);
}

CWinApp::~CWinApp() {
  CWinApp* self = this;
  g_currentApp.compare_exchange_strong(self, nullptr);
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::Run() {
  while (PumpMessage()) {
  }
  return ExitInstance();
}

int CWinApp::ExitInstance() { return m_exitCode; }

BOOL CWinApp::PreTranslateMessage(MSG*) { return FALSE; }

BOOL CWinApp::PumpMessage() {
  if (!GetMessageA(&m_msgCur, nullptr, 0, 0)) {
    m_exitCode = static_cast<int>(m_msgCur.wParam);
    return FALSE;
  }
  try {
    if (!PreTranslateMessage(&m_msgCur)) {
      TranslateMessage(&m_msgCur);
      DispatchMessageA(&m_msgCur);
    }
  } catch (CException* e) {
    ProcessWndProcException(e, &m_msgCur);
  }
  return TRUE;
}

LRESULT CWinApp::ProcessWndProcException(CException* e, const MSG*) {
  std::vector<char> text(1024);
  const bool told = e != nullptr && e->GetErrorMessage(text.data(), static_cast<UINT>(text.size()));
  AfxMessageBox(told ? text.data() : "Ein unerwarteter Fehler ist aufgetreten.", MB_OK | MB_ICONSTOP);
  if (e != nullptr) e->Delete();
  return 0;
}

CWinApp* AfxGetApp() { return g_currentApp.load(); }

int AfxWinMain() {
  CWinApp* app = AfxGetApp();
  if (app == nullptr) return -1;
  if (!app->InitInstance()) return app->ExitInstance();
  return app->Run();
}
