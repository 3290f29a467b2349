// A program as the suite's services were written for Windows: a global
// application object and no main(). It reports what InitInstance saw on
// standard output. With /loop it asks its message loop to end with 5 and
// lets Run take over; otherwise InitInstance fails and ExitInstance gives 3.
#include <afxwin.h>

#include <cstdio>

class CEntryProbeApp : public CWinApp {
 public:
  BOOL InitInstance() override {
    CCommandLineInfo info;
    ParseCommandLine(info);
    std::printf("exe=%s\ncmdline=%s\nfile=%s\nshell=%d\n", m_pszExeName, m_lpCmdLine,
                info.m_strFileName.GetString(), info.m_nShellCommand);
    m_loop = CString(m_lpCmdLine).Find("/loop") >= 0;
    if (!m_loop) return FALSE;
    PostQuitMessage(5);
    return TRUE;
  }
  int ExitInstance() override { return m_loop ? CWinApp::ExitInstance() : 3; }

 private:
  bool m_loop = false;
};

CEntryProbeApp theApp;
