#include "system_text.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <cstring>

namespace xtb::os {

namespace {

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

}  // namespace

bool SystemErrorText(int error, std::string& text) {
  if (error < 0 || !strerrordesc_np(error)) return false;  // a number the C library has no text for
  char buffer[256];
  text = ToCp1252(strerror_r(error, buffer, sizeof buffer));
  return true;
}

}  // namespace xtb::os
