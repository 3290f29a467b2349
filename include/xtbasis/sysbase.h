// The system base object, the registry parameters and colours, and the
// control-container switch.
//
// The application derives one object from CXTSysBase, fills TempDir and
// LogDir and stores its address in gp_XTSysBase. The library asks it for its
// settings through the virtual hooks below and never creates one itself.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/dialog.h>
#include <xtbasis/platform/registry.h>
#include <xtbasis/platform/wintypes.h>

// Classes of the application framework; the library only passes them through.
class CXTDialog;
class CWPFDialog;
class CXTRSet;

// The per-machine key (below HKEY_LOCAL_MACHINE) of the ActiveX controls'
// parameters and colours.
#define XT_ACTIVEX_KEY "SOFTWARE\\Vantorix\\XTActiveX"

// Colours as 0x02BBGGRR (palette-relative RGB).
#define XT_DEFAULT_DIALOG_COLOR 0x02D5D5D5ul
#define XT_DEFAULT_BACK_COLOR 0x02EAEAEAul
#define XT_DEFAULT_LABEL_COLOR 0x02505050ul

// Environment variable naming the common-files folder that InitInstance puts
// in front of PATH (with "XT/Dental" appended). Without it the folder is
// <libdir>/xtbasis of the installation, e.g. /usr/local/lib/xtbasis, so the
// search path gains /usr/local/lib/xtbasis/XT/Dental.
#define XT_COMMON_FILES_ENV "XTBASIS_COMMON_FILES"

class XTBASIS_API CXTSysBase {
 public:
  CXTSysBase();
  CXTSysBase(const CXTSysBase& other);
  CXTSysBase& operator=(const CXTSysBase& other);
  virtual ~CXTSysBase();

  // Sets the locale of every category to the user's and puts the suite's
  // common-files folder in front of PATH. 0 when the folder or PATH cannot
  // be had (PATH then stays as it was), else non-zero.
  virtual int InitInstance();
  virtual void ExitInstance();

  virtual void LoadAcceleratorsA(CXTDialog* dialog, unsigned int resourceId);
  virtual void SetHelpName(CXTDialog* dialog, const CString& helpName);
  virtual void SetHelpName(CWPFDialog* dialog, const CString& helpName);

  virtual long OnCommandHelp(CXTDialog* dialog, unsigned int command, long param);
  virtual long OnCommandHelp(CWPFDialog* dialog, unsigned int command, long param);

  virtual void DisableHelpButton(CXTDialog* dialog);
  virtual void DisableHelpButton(CWPFDialog* dialog);
  virtual void OnHotkey(CXTDialog* dialog);
  virtual void OnHotkey(CWPFDialog* dialog);

  virtual int HasDaisyHOZ();
  virtual void OnStartDaisy(const CString& first, const CString& second, bool flag);
  virtual void AtExit(void (*handler)());
  // The application's main key below HKEY_LOCAL_MACHINE (holds the trace
  // settings); empty in the base class.
  virtual CString MainRegKey();
  virtual const wchar_t* AppUserModelID();
  virtual CString GetTempDirDB(CString name);
  virtual void DeleteProtokoll(const CXTRSet* recordSet);
  virtual CString DBErrorString();
  virtual CString MakeRInfo(const CString& text);
  virtual void DoDBError(const CString& text);
  virtual bool TriggerSelectRead(const CXTRSet* recordSet, bool flag);

  // Six texts kept for the application; the library does not read them.
  CString AppText1;
  CString AppText2;
  CString AppText3;
  CString AppText4;
  CString AppText5;
  CString AppText6;
  // Folder of temporary files.
  CString TempDir;
  // Folder of the trace file "r9trace.log", ending with '/'.
  CString LogDir;

 protected:
  // Installs CCustomOccManager as the control-container manager.
  void XTEnableControlContainer();
};

// The application's one system base object; stored by the application, never
// written by the library. While it is null nothing is traced.
XTBASIS_C_API CXTSysBase* gp_XTSysBase;

// The control-container manager: a dialog's message loop offers each message
// to the installed manager's IsDialogMessage first.
class XTBASIS_API COccManager {
 public:
  virtual ~COccManager();
  // The default filter: TRUE when the message was handled. The base class
  // leaves every message to the toolkit's own dialog handling.
  virtual BOOL IsDialogMessage(HWND dialog, LPMSG msg);
  // Focus moved from `oldFocus` to `newFocus`: deactivates an in-place
  // active control that lost it. Nothing in the base class.
  virtual void UIDeactivateIfNecessary(HWND oldFocus, HWND newFocus);
};

// Handles TAB itself: moves to the next (Shift: previous) tab stop of the
// dialog, selecting the whole text of controls that have a selection,
// unless the focused window wants TAB for itself.
class XTBASIS_API CCustomOccManager : public COccManager {
 public:
  BOOL IsDialogMessage(HWND dialog, LPMSG msg) override;
};

// Installs `manager` (not owned; null: a default COccManager) and returns
// the one installed before (null if none).
XTBASIS_API COccManager* AfxEnableControlContainer(COccManager* manager = nullptr);
// The installed manager, null before AfxEnableControlContainer.
XTBASIS_API COccManager* AfxGetOccManager();

// Value `name` of the open key as text: REG_SZ and REG_EXPAND_SZ as they
// stand (not expanded), REG_DWORD as signed decimal. FALSE (value unchanged)
// for a missing value or another type.
XTBASIS_C_API bool GetXTParameter(HKEY key, const CString& name, CString& value);
// Reads `count` values into the matching slots of `values`; returns how many
// were read (the others keep their slot).
XTBASIS_C_API int GetXTParameters(HKEY key, int count, const char* const* names, CString* values);
// Writes REG_SZ (the text and its terminating zero).
XTBASIS_C_API bool SetXTParameterS(HKEY key, const CString& name, const CString& value);
// Writes REG_DWORD.
XTBASIS_C_API bool SetXTParameterI(HKEY key, const CString& name, const DWORD& value);
// GetXTParameter below HKEY_LOCAL_MACHINE\SOFTWARE\Vantorix\XTActiveX.
XTBASIS_C_API bool GetXTActiveXParameter(const CString& name, CString& value);
// SetXTParameterS there, creating the key when needed.
XTBASIS_C_API bool SetXTActiveXParameter(const CString& name, const CString& value);

// The ActiveX colours "DialogColor", "BackColor", "LabelColor": the text with
// every '$' read as "0x", converted with strtoul in automatic base, low 24
// bits | 0x2000000; the default when the key or value is missing.
XTBASIS_C_API unsigned long GetXTDialogColor(void);
XTBASIS_C_API unsigned long GetXTBackColor(void);
XTBASIS_C_API unsigned long GetXTLabelColor(void);
