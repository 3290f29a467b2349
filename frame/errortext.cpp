// GetErrorMessage and GetLastErrorString.
#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>
#include <xtbasis/platform/lasterror.h>
#include <xtbasis/platform/module.h>
#include <xtbasis/errortext.h>

namespace {

constexpr UINT kMessageBuffer = 100000;

// `text` from the locale's character set to code page 1252 ('?' for what
// 1252 lacks); unchanged when no conversion is available.
std::string ToCp1252(const char* text) {
  const char* codeset = nl_langinfo(CODESET);
  if (!codeset || std::strcmp(codeset, "ANSI_X3.4-1968") == 0) return text;
  iconv_t converter = iconv_open("CP1252//TRANSLIT", codeset);
  if (converter == reinterpret_cast<iconv_t>(-1)) return text;
  std::string in(text);
  std::string out(in.size() * 2 + 8, '\0');
  char* inPtr = in.data();
  size_t inLeft = in.size();
  char* outPtr = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0 && iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
    if (errno != EILSEQ && errno != EINVAL) break;
    *outPtr++ = '?';  // skip one undecodable byte
    --outLeft;
    ++inPtr;
    --inLeft;
  }
  iconv_close(converter);
  out.resize(out.size() - outLeft);
  return out;
}

// The C library's text for the errno value behind `number`, in the
// language of the process locale.
bool SystemText(DWORD number, CString& text) {
  const int error = xtb::ErrnoFromWinError(number);
  if (error < 0 || !strerrordesc_np(error)) return false;  // a number the C library has no text for
  char buffer[256];
  const char* message = strerror_r(error, buffer, sizeof buffer);
  text = CString(ToCp1252(message));
  return true;
}

}  // namespace

CString GetErrorMessage(CException* e) {
  if (!e) return CString();
  std::vector<char> buffer(kMessageBuffer, '\0');
  e->GetErrorMessage(buffer.data(), kMessageBuffer, nullptr);
  buffer.back() = '\0';
  return CString(buffer.data());
}

CString GetLastErrorString(const char* moduleName, DWORD errorNumber) {
  const DWORD lastError = GetLastError();
  if (errorNumber == 0xFFFFFFFFu) errorNumber = lastError;
  CString text;
  HMODULE module = moduleName ? GetModuleHandleA(moduleName) : nullptr;
  const bool found = (module && XTFindModuleMessage(module, errorNumber, text)) || SystemText(errorNumber, text);
  if (!found) text.Format(errorNumber < 0x10000 ? "Fehler Nr. %d" : "Fehler Nr. 0x%08x", errorNumber);
  SetLastError(lastError);
  return text;
}
