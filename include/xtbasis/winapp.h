// The application base of the suite's programs: CXTWinApp adds to the
// framework's application class a list of exit handlers that run once when
// the application ends. The library's own process-wide services (the
// ParallelFor worker pool, threads.h) register their shutdown there through
// the free AtXTExit, which the frame carries, so that they work without an
// application object too.
#pragma once

#include <vector>

#include <xtbasis/exithandlers.h>
#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/winapp.h>

class XTBASIS_API CXTWinApp : public CWinApp {
 public:
  CXTWinApp();
  explicit CXTWinApp(const char* appName);
  ~CXTWinApp() override;

  // Appends `handler` to the exit handlers (null is ignored).
  void AtXTExit(void (*handler)());

  BOOL InitInstance() override;
  // Installs the library's crash reporter: reports of this program go to
  // `reportDir` (made with every-user access) with the program's log files,
  // the computer name and, when `regKey` is given, that registry key as
  // appName + "-reg.xml". The result is kept as the reporter's status.
  void UseCrashRpt(const CString& reportDir, const CString& appName, const CString& appVersion,
                   const CString& regKey);
  // Runs every exit handler once, in registration order, including handlers
  // registered while they run; then the base class's end.
  int ExitInstance() override;
  // With the crash reporter installed (status 0) the exception is passed on
  // (rethrown out of the message loop) so that the reporter sees it;
  // otherwise the base class handles it.
  LRESULT ProcessWndProcException(CException* e, const MSG* msg) override;

 protected:
  // The exit handlers in registration order; AtXTExit (member, and the free
  // function while this is the current application) appends here.
  std::vector<void (*)()> m_exitHandlers;
  // -1 until a crash reporter is asked for, then its install result (0:
  // installed).
  int m_nCrashRptStatus = -1;
};
