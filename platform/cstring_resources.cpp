// CString's string-table members: LoadString and the texts that Format and
// FormatMessage take by string id.
#include <xtbasis/platform/cstring.h>
#include <xtbasis/platform/module.h>

BOOL CString::LoadModuleString(HINSTANCE module, UINT id) {
  // With no room given, LoadStringA hands out the text's own address and
  // its full length, so no string is ever cut.
  const char* text = nullptr;
  const int length = ::LoadStringA(module, id, reinterpret_cast<LPSTR>(&text), 0);
  if (length <= 0 || text == nullptr) {
    m_text.clear();
    return FALSE;
  }
  m_text.assign(text, static_cast<size_t>(length));
  return TRUE;
}

BOOL CString::LoadResourceString(UINT id) { return LoadModuleString(XTGetResourceModule(), id); }

CString CString::ResourceText(UINT id) {
  CString text;
  text.LoadResourceString(id);
  return text;
}
