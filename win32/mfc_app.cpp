// The application helpers that read strings by id and cut texts.
#include <xtbasis/trace.h>
#include <xtbasis/win32/mfc_app.h>

#include <cstring>

#include <xtbasis/platform/lasterror.h>

int AfxMessageBox(UINT idPrompt, UINT type, UINT helpId) {
  CString prompt;
  if (!prompt.LoadString(idPrompt)) {
    const DWORD error = GetLastError();
    XTTrace(XTTRACE_ERROR, 0, __FILE__, __LINE__, "AfxMessageBox: Text %u fehlt in der Stringtabelle", idPrompt);
    SetLastError(error);
    return 0;
  }
  return AfxMessageBox(prompt.GetString(), type, helpId == static_cast<UINT>(-1) ? idPrompt : helpId);
}

void AfxFormatStrings(CString& out, LPCSTR format, LPCSTR const* strings, int count) {
  CString result;
  for (const char* p = format ? format : ""; *p; ++p) {
    const int number = p[0] == '%' && p[1] >= '1' && p[1] <= '9' ? p[1] - '0' : 0;
    if (number == 0 || number > count || strings == nullptr) {
      result += *p;
      continue;
    }
    result += strings[number - 1];  // a null string appends nothing
    ++p;
  }
  out = result;  // `format` or a string may be `out` itself
}

void AfxFormatStrings(CString& out, UINT id, LPCSTR const* strings, int count) {
  CString format;
  format.LoadString(id);
  AfxFormatStrings(out, format.GetString(), strings, count);
}

void AfxFormatString1(CString& out, UINT id, LPCSTR s1) { AfxFormatStrings(out, id, &s1, 1); }

void AfxFormatString2(CString& out, UINT id, LPCSTR s1, LPCSTR s2) {
  const LPCSTR strings[] = {s1, s2};
  AfxFormatStrings(out, id, strings, 2);
}

BOOL AfxExtractSubString(CString& out, LPCSTR full, int index, char separator) {
  out.Empty();
  if (full == nullptr || index < 0) return FALSE;
  const char* piece = full;
  for (; index > 0; --index) {
    const char* next = separator ? std::strchr(piece, separator) : nullptr;
    if (next == nullptr) return FALSE;
    piece = next + 1;
  }
  const char* end = separator ? std::strchr(piece, separator) : nullptr;
  out = end ? CString(piece, static_cast<int>(end - piece)) : CString(piece);
  return TRUE;
}
