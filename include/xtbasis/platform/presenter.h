// The user-interface presenter: message boxes, the save-file dialog and the
// folder dialog all go through one object. The default presenter depends on
// the session:
// - With a desktop (DISPLAY or WAYLAND_DISPLAY set) it is the desktop
//   presenter: GTK 3 windows with German labels, from any thread, each
//   blocking only its calling thread. GTK is loaded at run time on first use;
//   where it cannot be loaded or initialised, the desktop presenter answers
//   as the headless one does.
// - Without one it is the headless presenter, so nothing ever blocks: a box
//   writes its caption and text as one line to standard error and answers
//   its default button, a dialog writes one line and answers "cancelled".
// Environment variables choose the answers for tests and unattended runs;
// while one is set, its box or dialog is answered headlessly even on a
// desktop:
//   XTBASIS_MSGBOX_ANSWER    OK, CANCEL, ABORT, RETRY, IGNORE, YES, NO,
//                            TRYAGAIN, CONTINUE or an ID* number; used when
//                            the box has that button, else the default button
//   XTBASIS_SAVEFILE_ANSWER  the path the save-file dialog returns
//   XTBASIS_FOLDER_ANSWER    the folder the folder dialog returns
// Programs can install their own presenter with SetXTPresenter.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/wintypes.h>

// Options of the save-file dialog used by the library.
#define OFN_READONLY 0x00000001u
#define OFN_OVERWRITEPROMPT 0x00000002u
#define OFN_HIDEREADONLY 0x00000004u
#define OFN_NOCHANGEDIR 0x00000008u
#define OFN_PATHMUSTEXIST 0x00000800u

#define MB_HELP 0x00004000u
#define IDHELP 9

struct XTBASIS_API XTSaveFileRequest {
  HWND owner = nullptr;
  CString title;       // empty: the presenter's own title
  CString fileName;    // preset file name, may be empty
  CString defaultExt;  // without the dot, appended when the chosen name has no extension
  CString filter;      // "Description (*.ext)|*.ext||"
  DWORD flags = 0;     // OFN_*
};

struct XTBASIS_API XTFolderRequest {
  HWND owner = nullptr;
  CString title;
  CString initialFolder;  // preselected folder, may be empty
  UINT flags = 0;         // BIF_*
};

class XTBASIS_API XTPresenter {
 public:
  virtual ~XTPresenter();
  // Returns the ID* value of the chosen button, 0 when no box could be shown.
  virtual int ShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type) = 0;
  // TRUE with the chosen path. FALSE with the last error ERROR_CANCELLED
  // when the user cancelled, ERROR_NOT_SUPPORTED when no dialog is available.
  virtual BOOL ShowSaveFileDialog(const XTSaveFileRequest& request, CString& path) = 0;
  virtual BOOL ShowFolderDialog(const XTFolderRequest& request, CString& folder) = 0;
};

// The presenter of a program without a display (the default there). Writes
// its lines to the file descriptor given (standard error by default).
class XTBASIS_API XTHeadlessPresenter : public XTPresenter {
 public:
  explicit XTHeadlessPresenter(int fd = 2) : m_fd(fd) {}
  int ShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type) override;
  BOOL ShowSaveFileDialog(const XTSaveFileRequest& request, CString& path) override;
  BOOL ShowFolderDialog(const XTFolderRequest& request, CString& folder) override;

 private:
  void WriteLine(const CString& caption, const CString& text) const;
  int m_fd;
};

// The presenter of a desktop session. Boxes show their buttons in the
// Windows order with German labels, the default button focused; closing a
// box answers IDCANCEL where it has Cancel, IDOK on a plain OK box, and is
// refused otherwise; the help button does not close the box. Dialog paths
// are the file system's bytes. Without a usable desktop (GTK missing, no
// display, a child process after fork) it answers as XTHeadlessPresenter;
// when the display goes away under an open window, the call returns 0
// (FALSE for the dialogs) with the last error ERROR_NOT_SUPPORTED. GTK runs
// on a thread of its own with GLib's default main context; a program that
// runs GTK itself installs a presenter of its own instead.
class XTBASIS_API XTDesktopPresenter : public XTPresenter {
 public:
  int ShowMessageBox(HWND owner, const CString& text, const CString& caption, UINT type) override;
  BOOL ShowSaveFileDialog(const XTSaveFileRequest& request, CString& path) override;
  BOOL ShowFolderDialog(const XTFolderRequest& request, CString& folder) override;

 private:
  XTHeadlessPresenter m_headless;
};

// Installs `presenter` (not owned; it must outlive its use) and returns the
// one installed before. nullptr restores the default presenter.
XTBASIS_API XTPresenter* SetXTPresenter(XTPresenter* presenter);
// The presenter in force, never null.
XTBASIS_API XTPresenter& GetXTPresenter();

// The button a box of `type` answers by default (MB_DEFBUTTON1..4 of its
// button set; a default beyond the set falls back to the first button).
XTBASIS_API int XTDefaultButton(UINT type);
// Whether the box `type` has the button `id`.
XTBASIS_API bool XTHasButton(UINT type, int id);

// The dialogs through the presenter in force.
XTBASIS_API BOOL XTShowSaveFileDialog(const XTSaveFileRequest& request, CString& path);
XTBASIS_API BOOL XTShowFolderDialog(const XTFolderRequest& request, CString& folder);

XTBASIS_C_API int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
// The application's name (CWinApp::m_pszAppName) as caption, the program's
// name while there is no application object. Help ids have no meaning here.
XTBASIS_API int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
