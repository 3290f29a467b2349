#include "unicode.h"

namespace xtb::xml {
namespace {

// Appends UTF-8 whose first `ascii` bytes are known to be ASCII: those are
// copied as they are, only the rest is converted. Texts are short and mostly
// ASCII, so most of them are one copy.
void AppendPastAscii(std::string& out, std::string_view utf8, size_t ascii) {
  out.append(utf8.substr(0, ascii));
  if (ascii == utf8.size()) return;
  const size_t start = out.size();
  out.resize(start + utf8.size() - ascii);  // never more bytes than in UTF-8
  char* const end = PutUtf8AsCp1252(out.data() + start, utf8.substr(ascii), Utf8Mistakes::kMarkEachSequence);
  out.resize(static_cast<size_t>(end - out.data()));
}

}  // namespace

void AppendSaxTextAsCp1252(std::string& out, const char16_t* text, int length) {
  if (text == nullptr) return;
  AppendUtf16AsCp1252(out, length < 0 ? std::u16string_view(text) : std::u16string_view(text, static_cast<size_t>(length)));
}

void AppendUtf8AsCp1252(std::string& out, std::string_view utf8) {
  AppendPastAscii(out, utf8, AsciiPrefixLength(utf8));
}

CString Cp1252String(std::string_view utf8, std::string& scratch) {
  const size_t ascii = AsciiPrefixLength(utf8);
  if (ascii == utf8.size()) return CString(utf8);
  scratch.clear();
  AppendPastAscii(scratch, utf8, ascii);
  return CString(std::string_view(scratch));
}

}  // namespace xtb::xml
