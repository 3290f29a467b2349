// Small text filters: line breaks to blanks, letters and digits only.
#include <string>

#include <xtbasis/charclass.h>
#include <xtbasis/textfilters.h>

namespace {

template <typename Keep>
CString Filter(const CString& text, Keep keep) {
  std::string out;
  out.reserve(text.str().size());
  for (const char c : text.str())
    if (keep(static_cast<unsigned char>(c))) out += c;
  return CString(std::move(out));
}

}  // namespace

void RemoveCRLF(CString& text) {
  text.Replace("\r\n", " ");
  text.Replace("\n\r", " ");
  text.Replace('\r', ' ');
  text.Replace('\n', ' ');
}

CString GetAlNum(const CString& text) { return Filter(text, isxtalnum); }
CString GetDigit(const CString& text) { return Filter(text, isxtdigit); }
