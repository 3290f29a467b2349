// Other programs: CreateProcess and ShellExecute for the common cases (run a
// program, open a document with the desktop's handler), the process handle
// and its exit code.
//
// A process handle is signalled when the child has ended; WaitForSingleObject
// and WaitForMultipleObjects wait for it with the kit's other objects. The
// kit watches each child it started (through a pidfd, with no SIGCHLD
// handler and no wait for children that are not its own) and reaps it as
// soon as it ends, handles open or not: closing both handles neither kills
// the child nor leaves a zombie. hThread stands for the child's primary
// thread: an object of its own that waits like the process (signalled when
// the process ends) and is closed by CloseHandle; the thread calls (GetExitCodeThread, ResumeThread,
// GetThreadId) refuse it with ERROR_INVALID_HANDLE. dwThreadId is the
// process id, which is the kernel's id of a process's first thread.
//
// Exit codes are what the child passes to exit(), of which Linux keeps the
// low 8 bits (exit(300) reads back as 44). A child ended by a signal gives
// 128 plus the signal's number, as a shell reports it (a crash by SIGSEGV is
// 139); one ended by TerminateProcess gives the code TerminateProcess was
// handed.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/wintypes.h>
#include <xtbasis/win32/handles.h>
#include <xtbasis/win32/threads.h>

// Creation flags. CREATE_NO_WINDOW, CREATE_NEW_CONSOLE and DETACHED_PROCESS
// have no console to make or leave here: the first changes nothing (the
// child shares the caller's terminal and streams); the other two start the
// child in a session of its own, away from the caller's terminal (its
// streams still the caller's unless STARTF_USESTDHANDLES says otherwise).
// CREATE_NEW_PROCESS_GROUP is the same session. CREATE_SUSPENDED fails with
// ERROR_NOT_SUPPORTED: Linux cannot hold a new program before its first
// instruction without a debugger's rights. The priority classes and
// CREATE_UNICODE_ENVIRONMENT (the block is 8-bit text here) are accepted
// and ignored; any other flag fails with ERROR_INVALID_PARAMETER.
#define DEBUG_PROCESS 0x00000001u
#define DEBUG_ONLY_THIS_PROCESS 0x00000002u
#define DETACHED_PROCESS 0x00000008u
#define CREATE_NEW_CONSOLE 0x00000010u
#define NORMAL_PRIORITY_CLASS 0x00000020u
#define IDLE_PRIORITY_CLASS 0x00000040u
#define HIGH_PRIORITY_CLASS 0x00000080u
#define CREATE_NEW_PROCESS_GROUP 0x00000200u
#define CREATE_UNICODE_ENVIRONMENT 0x00000400u
#define BELOW_NORMAL_PRIORITY_CLASS 0x00004000u
#define ABOVE_NORMAL_PRIORITY_CLASS 0x00008000u
#define CREATE_NO_WINDOW 0x08000000u

#define STARTF_USESHOWWINDOW 0x00000001u
#define STARTF_USESTDHANDLES 0x00000100u

#ifndef SW_HIDE
#define SW_HIDE 0
#define SW_SHOWNORMAL 1
#define SW_NORMAL 1
#define SW_SHOWMINIMIZED 2
#define SW_SHOWMAXIMIZED 3
#define SW_MAXIMIZE 3
#define SW_SHOWNOACTIVATE 4
#define SW_SHOW 5
#define SW_MINIMIZE 6
#define SW_SHOWMINNOACTIVE 7
#define SW_SHOWNA 8
#define SW_RESTORE 9
#define SW_SHOWDEFAULT 10
#endif

#define PROCESS_TERMINATE 0x0001u
#define PROCESS_QUERY_INFORMATION 0x0400u
#define PROCESS_QUERY_LIMITED_INFORMATION 0x1000u
#define PROCESS_ALL_ACCESS 0x001FFFFFu

// wShowWindow and the window fields are for a program's first window and
// change nothing here. With STARTF_USESTDHANDLES, hStdInput, hStdOutput and
// hStdError are the kit's file handles (CreateFile) the child gets as its
// standard streams; a null or INVALID_HANDLE_VALUE one gives the child
// /dev/null for that stream (Windows gives it no stream at all). Any other
// handle fails with ERROR_INVALID_HANDLE. bInheritHandles is not needed for
// them, and no other handle of the kit reaches the child (the kit's files
// are opened close-on-exec).
typedef struct _STARTUPINFOA {
  DWORD cb;
  LPSTR lpReserved;
  LPSTR lpDesktop;
  LPSTR lpTitle;
  DWORD dwX;
  DWORD dwY;
  DWORD dwXSize;
  DWORD dwYSize;
  DWORD dwXCountChars;
  DWORD dwYCountChars;
  DWORD dwFillAttribute;
  DWORD dwFlags;
  WORD wShowWindow;
  WORD cbReserved2;
  LPBYTE lpReserved2;
  HANDLE hStdInput;
  HANDLE hStdOutput;
  HANDLE hStdError;
} STARTUPINFOA, *LPSTARTUPINFOA;
typedef STARTUPINFOA STARTUPINFO;
typedef LPSTARTUPINFOA LPSTARTUPINFO;

typedef struct _PROCESS_INFORMATION {
  HANDLE hProcess;
  HANDLE hThread;
  DWORD dwProcessId;
  DWORD dwThreadId;
} PROCESS_INFORMATION, *LPPROCESS_INFORMATION;

// Runs a program. The program is `applicationName` when given (a path, '\\'
// read as '/', taken as it is: no search), else the command line's first
// word (in quotes or up to the first blank; an unquoted name with blanks is
// tried at each blank, shortest first, as Windows does). A name without a
// folder is searched for in the calling program's own folder, then on PATH
// (Windows also looks in the current folder and its system folders; the
// current folder is left out, so that a program left in a working folder is
// never run by a bare name). A name ending in ".exe" is run without the
// suffix when that file exists. The child's arguments are the command line's
// words by the C runtime's rules (quotes, backslashes before quotes), its
// argv[0] the command line's first word; with no command line, the
// application name. `environment` is NUL-separated "NAME=value" texts ended
// by an extra NUL (null: the caller's environment); `currentDirectory` the
// child's working folder (null: the caller's; a missing one fails with
// ERROR_DIRECTORY). FALSE, known before the call returns, with
// ERROR_FILE_NOT_FOUND (no such program), ERROR_PATH_NOT_FOUND (its folder
// is missing), ERROR_ACCESS_DENIED (not a regular file, or not executable),
// ERROR_BAD_EXE_FORMAT (not a program the system can run: a script without
// "#!", a Windows .exe), ERROR_INVALID_PARAMETER (no name at all, a null
// `startupInfo` or `processInformation`, or an unknown flag).
XTBASIS_C_API BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                                  LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                                  LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                                  LPPROCESS_INFORMATION processInformation);
#define CreateProcess CreateProcessA

// STILL_ACTIVE while the process runs, then its exit code (see above). The
// pseudo handle GetCurrentProcess() gives STILL_ACTIVE. A process that
// exits with 259 itself reads as still running, as on Windows.
XTBASIS_C_API BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);

// Kills the process (SIGKILL: it gets no chance to clean up, as on
// Windows); its exit code becomes `exitCode`. FALSE with ERROR_ACCESS_DENIED
// for a process that has already ended, which keeps the code it ended with,
// as on Windows. On GetCurrentProcess()
// the caller ends at once with `exitCode` (no exit handlers run).
XTBASIS_C_API BOOL TerminateProcess(HANDLE process, UINT exitCode);

// The process id; 0 with ERROR_INVALID_HANDLE for a handle that is not a
// process's. GetCurrentProcess() gives the caller's own id.
XTBASIS_C_API DWORD GetProcessId(HANDLE process);

// ShellExecute's results of 32 and below; success is a value above 32.
#define SE_ERR_FNF 2
#define SE_ERR_PNF 3
#define SE_ERR_ACCESSDENIED 5
#define SE_ERR_OOM 8
#define SE_ERR_SHARE 26
#define SE_ERR_ASSOCINCOMPLETE 27
#define SE_ERR_DDETIMEOUT 28
#define SE_ERR_DDEFAIL 29
#define SE_ERR_DDEBUSY 30
#define SE_ERR_NOASSOC 31
#define SE_ERR_DLLNOTFOUND 32
#ifndef ERROR_NO_ASSOCIATION
#define ERROR_NO_ASSOCIATION 1155L
#endif

#define SEE_MASK_DEFAULT 0x00000000u
#define SEE_MASK_NOCLOSEPROCESS 0x00000040u
#define SEE_MASK_FLAG_NO_UI 0x00000400u
#define SEE_MASK_NOASYNC 0x00000100u
#define SEE_MASK_FLAG_DDEWAIT SEE_MASK_NOASYNC

// Opens `file` with `verb`:
// - NULL, "" or "open" on a program (an executable file, or a bare name
//   found as CreateProcess finds one) runs it with `parameters` split as a
//   command line, in `directory` (null: the caller's folder);
// - NULL, "" or "open" on any other file or a folder, and "explore" on a
//   folder, hand it to the desktop's handler: xdg-open, found on PATH, with
//   the file's absolute path (a URL such as "https://..." or "mailto:..."
//   is handed over as it is); `parameters` are not passed on. Without
//   xdg-open the result is SE_ERR_NOASSOC. xdg-open runs on its own: a file
//   type it has no application for is its own report, after ShellExecute
//   has returned success;
// - "print", "edit", "explore" on a file, "runas" and every other verb give
//   SE_ERR_NOASSOC: the desktop has no such verbs for a program to ask for.
// A relative `file` lies in `directory` when that is given. `hwnd` and
// `showCommand` change nothing. The result is a value above 32 on success;
// else SE_ERR_FNF (2) or SE_ERR_PNF (3) for a missing file or folder,
// SE_ERR_ACCESSDENIED, ERROR_BAD_FORMAT (11) for a file the system cannot
// run, SE_ERR_NOASSOC, or 0 when the system had no resources for it. The
// child is watched and reaped as CreateProcess's are.
XTBASIS_C_API HINSTANCE ShellExecuteA(HWND hwnd, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory,
                                      INT showCommand);
#define ShellExecute ShellExecuteA

typedef struct _SHELLEXECUTEINFOA {
  DWORD cbSize;
  ULONG fMask;
  HWND hwnd;
  LPCSTR lpVerb;
  LPCSTR lpFile;
  LPCSTR lpParameters;
  LPCSTR lpDirectory;
  int nShow;
  HINSTANCE hInstApp;
  void* lpIDList;
  LPCSTR lpClass;
  HKEY hkeyClass;
  DWORD dwHotKey;
  union {
    HANDLE hIcon;
    HANDLE hMonitor;
  };
  HANDLE hProcess;
} SHELLEXECUTEINFOA, *LPSHELLEXECUTEINFOA;
typedef SHELLEXECUTEINFOA SHELLEXECUTEINFO;
typedef LPSHELLEXECUTEINFOA LPSHELLEXECUTEINFO;

// ShellExecuteA with its fields; TRUE on success. hInstApp gets the result
// ShellExecuteA would give; on failure the last error is ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_BAD_EXE_FORMAT,
// ERROR_NO_ASSOCIATION, or ERROR_INVALID_PARAMETER (null, or a cbSize that
// is not the structure's). With SEE_MASK_NOCLOSEPROCESS, hProcess is the
// handle of the process started (the program, or xdg-open for a document),
// for the caller to wait for and close. The other masks (the class and
// item-list ones) are ignored.
XTBASIS_C_API BOOL ShellExecuteExA(LPSHELLEXECUTEINFOA info);
#define ShellExecuteEx ShellExecuteExA
