// Code page 1252 to UTF-8 and back: the platform's conversions, with one
// '?' per malformed byte as Windows converts.
#include <xtbasis/osinfo.h>
#include <xtbasis/transcode.h>

#include "utf8cp1252.h"

CString AnsiToUTF8(const CString& text) {
  if (text.IsEmpty() || XTGetOSCode() == -1) return text;  // Windows 95 had no such conversion
  return CString(xtb::Cp1252ToUtf8(text.view()));
}

CString UTF8ToAnsi(const CString& text) {
  if (text.IsEmpty() || XTGetOSCode() == -1) return text;
  return CString(xtb::Utf8ToCp1252(text.view(), xtb::Utf8Mistakes::kMarkEachByte));
}
