// CString::Collate and CollateNoCase: the process locale's collation of
// 1252 text. The locale's collation tables belong to its own character set,
// so the texts are handed to strcoll in that set: as they are under a 1252
// (or other 8-bit) locale, as UTF-8 under a UTF-8 one.
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/platform/cstring.h>

#include <algorithm>
#include <cctype>
#include <clocale>
#include <cstring>
#include <string>

#include "utf8cp1252.h"

namespace {

// Whether LC_COLLATE's locale reads UTF-8: its name's character set
// ("de_DE.UTF-8", "de_DE.utf8", "C.UTF-8").
bool CollationIsUtf8() {
  const char* name = std::setlocale(LC_COLLATE, nullptr);
  if (!name) return false;
  const char* dot = std::strchr(name, '.');
  if (!dot) return false;
  std::string codeset;
  for (const char* p = dot + 1; *p && *p != '@'; ++p) {
    if (*p != '-' && *p != '_') codeset += static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  }
  return codeset == "utf8";
}

int SignOf(int value) { return value < 0 ? -1 : (value > 0 ? 1 : 0); }

int CollateTexts(const std::string& a, const std::string& b) {
  if (CollationIsUtf8()) return SignOf(std::strcoll(xtb::Cp1252ToUtf8(a).c_str(), xtb::Cp1252ToUtf8(b).c_str()));
  return SignOf(std::strcoll(a.c_str(), b.c_str()));
}

std::string Folded(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), xtb::cp1252::ToLower);
  return text;
}

}  // namespace

int CString::Collate(const char* text) const { return CollateTexts(m_text, text ? text : ""); }

int CString::CollateNoCase(const char* text) const {
  return CollateTexts(Folded(m_text), Folded(text ? text : ""));
}
