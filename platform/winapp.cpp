#include <errno.h>
#include <strings.h>
#include <xtbasis/platform/messages.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/platform/winapp.h>

#include <atomic>
#include <vector>

#include "command_line.h"
#include "os/programs.h"

namespace {
std::atomic<CWinApp*> g_currentApp{nullptr};

// The program's file name without ".exe", which a program may keep from its
// Windows days; other dots belong to the name.
CString ExeNameOf(std::string_view name) {
  constexpr std::string_view kExe = ".exe";
  if (name.size() > kExe.size() && strncasecmp(name.data() + name.size() - kExe.size(), kExe.data(), kExe.size()) == 0)
    name.remove_suffix(kExe.size());
  return CString(name);
}

}  // namespace

CWinApp::CWinApp(LPCSTR appName)
    : m_pszAppName(nullptr),
      m_pszExeName(nullptr),
      m_lpCmdLine(nullptr),
      m_hInstance(GetModuleHandleA(nullptr)),
      m_pszRegistryKey(nullptr),
      m_pszProfileName(nullptr),
      m_msgCur{} {
  m_exeName = ExeNameOf(program_invocation_short_name);
  m_pszExeName = m_exeName;
  m_appName = appName != nullptr ? appName : m_exeName.GetString();
  m_pszAppName = m_appName;
  m_pszProfileName = m_pszAppName;
  std::vector<std::string> arguments = xtb::os::OwnArguments();
  if (!arguments.empty()) arguments.erase(arguments.begin());
  SetArguments(std::move(arguments));
  g_currentApp.store(this);
}

void CWinApp::SetArguments(std::vector<std::string> arguments) {
  m_arguments = std::move(arguments);
  m_commandLine = xtb::QuotedCommandLine(m_arguments);
  m_lpCmdLine = m_commandLine.data();
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
  for (size_t i = 0; i < m_arguments.size(); ++i) {
    const char* param = m_arguments[i].c_str();
    const BOOL flag = param[0] == '/' || param[0] == '-';
    info.ParseParam(flag ? param + 1 : param, flag, i + 1 == m_arguments.size());
  }
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

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (app != nullptr && argc > 0 && argv != nullptr) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc && argv[i] != nullptr; ++i) arguments.emplace_back(argv[i]);
    app->SetArguments(std::move(arguments));
  }
  return AfxWinMain();
}
