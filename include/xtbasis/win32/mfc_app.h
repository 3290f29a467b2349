// The application's helpers: AfxMessageBox with a string id,
// AfxFormatString1/2 and AfxFormatStrings, AfxExtractSubString,
// AfxGetAppName, AfxGetInstanceHandle, AfxGetResourceHandle and
// AfxSetResourceHandle. CWinApp, AfxGetApp and CCommandLineInfo are the
// library's own (platform/winapp.h), as is AfxMessageBox with a text
// (platform/presenter.h).
//
// Strings by id come from the resource module: the program's own module
// record until AfxSetResourceHandle chooses another, typically the one the
// program registers with its string table:
//   AfxSetResourceHandle(XTRegisterModule({"empfang", kStrings, count}));
// CString::LoadString, Format and FormatMessage with an id read it too.
#pragma once

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/platform/winapp.h>
#include <xtbasis/platform/wintypes.h>

// Shows string `idPrompt` of the resource module in a box, as the text form
// does. When the string is missing no box is shown: the result is 0 with
// the last error ERROR_RESOURCE_NAME_NOT_FOUND, and the trace log has an
// error record that names the id.
XTBASIS_API int AfxMessageBox(UINT idPrompt, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));

// `out` becomes string `id` of the resource module (or `format`) with every
// "%1" .. "%9" replaced by the string of that number (a null string is
// empty); any other '%' stays as it is, as does "%n" beyond `count`. A
// missing string leaves `out` empty.
XTBASIS_API void AfxFormatStrings(CString& out, LPCSTR format, LPCSTR const* strings, int count);
XTBASIS_API void AfxFormatStrings(CString& out, UINT id, LPCSTR const* strings, int count);
XTBASIS_API void AfxFormatString1(CString& out, UINT id, LPCSTR s1);
XTBASIS_API void AfxFormatString2(CString& out, UINT id, LPCSTR s1, LPCSTR s2);

// Piece `index` (from 0) of `full` cut at every `separator`; empty pieces
// count ("a;;b" has three). FALSE, with `out` empty, for a null text, a
// negative index or one past the last piece.
XTBASIS_API BOOL AfxExtractSubString(CString& out, LPCSTR full, int index, char separator = '\n');

// The application's name (CWinApp::m_pszAppName); null without an
// application object.
inline LPCSTR AfxGetAppName() {
  const CWinApp* app = AfxGetApp();
  return app ? app->m_pszAppName : nullptr;
}

// The program's module (CWinApp::m_hInstance).
inline HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleA(nullptr); }

// The module whose strings the calls by id read; null sets the program's
// own again.
inline HINSTANCE AfxGetResourceHandle() { return XTGetResourceModule(); }
inline void AfxSetResourceHandle(HINSTANCE module) { XTSetResourceModule(module); }
