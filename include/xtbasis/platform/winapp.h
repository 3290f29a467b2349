// The application frame: the one application object of a program, its start,
// its message loop and its end. The program derives its application class
// from CWinApp, constructs one object (it becomes the current application,
// AfxGetApp) and calls AfxWinMain from main().
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/dialog.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/wintypes.h>

class XTBASIS_API CWinApp {
 public:
  // Becomes the current application object.
  explicit CWinApp(LPCSTR appName = nullptr);
  virtual ~CWinApp();
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  // Start of the program; FALSE ends it at once. The base class returns TRUE.
  virtual BOOL InitInstance();
  // The message loop of the calling thread: runs until WM_QUIT, then returns
  // ExitInstance().
  virtual int Run();
  // End of the program; the result is the program's exit code (the one
  // given to PostQuitMessage, 0 before).
  virtual int ExitInstance();
  // Offered every message before it is dispatched; TRUE when consumed.
  virtual BOOL PreTranslateMessage(MSG* msg);
  // Takes one message and handles it; FALSE when it was WM_QUIT.
  virtual BOOL PumpMessage();
  // Called with an exception (thrown as a pointer, see exceptions.h) that
  // escaped the handling of `msg` in the message loop. The base class shows
  // the exception's message in a box, deletes the exception and returns 0;
  // the loop then goes on.
  virtual LRESULT ProcessWndProcException(CException* e, const MSG* msg);

  // The application's name: the constructor's, else the program's file name.
  LPCSTR m_pszAppName;
  // The message being handled.
  MSG m_msgCur;

 protected:
  int m_exitCode = 0;

 private:
  CString m_appName;
};

// The current application object (null while there is none).
XTBASIS_API CWinApp* AfxGetApp();

// Runs the current application: InitInstance, then Run; when InitInstance
// fails, ExitInstance at once. Returns the exit code; -1 without an
// application object.
XTBASIS_API int AfxWinMain();
