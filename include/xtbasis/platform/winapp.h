// The application frame: the one application object of a program, its start,
// its message loop and its end. The program derives its application class
// from CWinApp, constructs one object (it becomes the current application,
// AfxGetApp) and calls AfxWinMain from main(); a program built with the
// porting kit may leave main() to the kit's entry archive.
//
// The application knows its program's command line from the moment it is
// constructed (the process's own arguments; AfxWinMain(argc, argv) sets them
// again from main's), so InitInstance finds m_lpCmdLine and ParseCommandLine
// ready, whatever main() the program has.
//
// The profile (Get/WriteProfileString, Int, Binary) lives in the registry
// store: HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>
// after SetRegistryKey, as on Windows. Without SetRegistryKey Windows writes
// an INI file into its own folder; here the profile goes to
// HKEY_CURRENT_USER\Software\<profile name>\<section> instead, so nothing
// is written beside the program.
//
// The member functions whose names the Windows headers turn into macros
// (GetProfileString ...) have inline bodies, so they work under either name.
#pragma once

#include <string>
#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/dialog.h>
#include <xtbasis/platform/exceptions.h>
#include <xtbasis/platform/wintypes.h>

// What the command line asks for, as the framework's shell commands name it.
// ParseCommandLine hands each argument to ParseParam; a program derives its
// own class to read further flags.
class XTBASIS_API CCommandLineInfo {
 public:
  enum { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister, FileNothing = -1 };

  virtual ~CCommandLineInfo();
  // `param` is an argument without its leading '/' or '-' when `flag`;
  // `last` is TRUE for the final argument. Flags known here (without case):
  // p, pt, dde, Embedding, Automation, Register/Regserver,
  // Unregister/Unregserver; others are ignored. The first plain argument is
  // the file name (the shell command becomes FileOpen at the end), after /pt
  // the next three are printer, driver and port.
  virtual void ParseParam(const char* param, BOOL flag, BOOL last);

  BOOL m_bShowSplash = TRUE;
  BOOL m_bRunEmbedded = FALSE;
  BOOL m_bRunAutomated = FALSE;
  int m_nShellCommand = FileNew;
  CString m_strFileName;
  CString m_strPrinterName;
  CString m_strDriverName;
  CString m_strPortName;

 private:
  void ParseFlag(const char* param);
  void ParsePlain(const char* param);
};

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

  // Hands every argument after the program's name to info.ParseParam:
  // '/' or '-' in front makes it a flag (handed without that character).
  void ParseCommandLine(CCommandLineInfo& info);

  // Puts the profile into the registry under HKEY_CURRENT_USER\Software\<key>;
  // the id form takes the key from the resource module's string table
  // (XTGetResourceModule; nothing changes when the string is missing).
  void SetRegistryKey(LPCSTR key);
  void SetRegistryKey(UINT keyId);

  // The profile entry `entry` of `section`; the default when missing or of
  // another type (a string is REG_SZ, an integer REG_DWORD).
  CString GetProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue = nullptr) {
    return ReadProfileString(section, entry, defaultValue);
  }
  UINT GetProfileInt(LPCSTR section, LPCSTR entry, int defaultValue) {
    return ReadProfileInt(section, entry, defaultValue);
  }
  // A copy of binary entry's bytes in *data (delete[] it) and their count in
  // *bytes; FALSE with *data null and *bytes 0 when missing or not REG_BINARY.
  BOOL GetProfileBinary(LPCSTR section, LPCSTR entry, LPBYTE* data, UINT* bytes) {
    return ReadProfileBinary(section, entry, data, bytes);
  }
  // A null entry removes the whole section, a null value the entry. FALSE
  // when the registry refuses (the last error says why; ERROR_FILE_NOT_FOUND
  // for removing what is not there) or section is null.
  BOOL WriteProfileString(LPCSTR section, LPCSTR entry, LPCSTR value) {
    return StoreProfileString(section, entry, value);
  }
  BOOL WriteProfileInt(LPCSTR section, LPCSTR entry, int value) { return StoreProfileInt(section, entry, value); }
  BOOL WriteProfileBinary(LPCSTR section, LPCSTR entry, LPBYTE data, UINT bytes) {
    return StoreProfileBinary(section, entry, data, bytes);
  }

  // The application's name: the constructor's, else the program's file name.
  LPCSTR m_pszAppName;
  // The program's file name without folder and extension.
  LPCSTR m_pszExeName;
  // The arguments after the program's name as one line, separated by blanks;
  // an argument that holds blanks or quotes, or is empty, is quoted as
  // Windows quotes it (\" inside, backslashes before a quote doubled).
  LPSTR m_lpCmdLine;
  // The program's module (its string table), GetModuleHandleA(nullptr).
  HINSTANCE m_hInstance;
  // Null until SetRegistryKey.
  LPCSTR m_pszRegistryKey;
  // The profile's name: the application's name.
  LPCSTR m_pszProfileName;
  // The message being handled.
  MSG m_msgCur;

 protected:
  int m_exitCode = 0;

 private:
  friend XTBASIS_API int AfxWinMain(int argc, char** argv);
  void SetArguments(std::vector<std::string> arguments);
  CString ReadProfileString(LPCSTR section, LPCSTR entry, LPCSTR defaultValue);
  UINT ReadProfileInt(LPCSTR section, LPCSTR entry, int defaultValue);
  BOOL ReadProfileBinary(LPCSTR section, LPCSTR entry, LPBYTE* data, UINT* bytes);
  BOOL StoreProfileString(LPCSTR section, LPCSTR entry, LPCSTR value);
  BOOL StoreProfileInt(LPCSTR section, LPCSTR entry, int value);
  BOOL StoreProfileBinary(LPCSTR section, LPCSTR entry, LPBYTE data, UINT bytes);
  // HKEY_CURRENT_USER's path of the profile's section.
  CString SectionPath(LPCSTR section) const;

  CString m_appName;
  CString m_exeName;
  std::string m_commandLine;
  CString m_registryKey;
  std::vector<std::string> m_arguments;  // without the program's name
};

// The current application object (null while there is none).
XTBASIS_API CWinApp* AfxGetApp();

// Runs the current application: InitInstance, then Run; when InitInstance
// fails, ExitInstance at once. Returns the exit code; -1 without an
// application object. Run waits for WM_QUIT: a program whose work is done in
// InitInstance returns FALSE from it (and its exit code from ExitInstance),
// or posts PostQuitMessage before it returns TRUE.
XTBASIS_API int AfxWinMain();
// The same after setting the application's command line from main's
// arguments (argv[0] is the program's name).
XTBASIS_API int AfxWinMain(int argc, char** argv);
