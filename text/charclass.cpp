// Character classes over code page 1252 bytes as the Windows runtime has them
// under the German locale, independent of the process locale (glibc's UTF-8
// locales do not classify single 1252 bytes).
#include <xtbasis/charclass.h>
#include <xtbasis/platform/codepage1252.h>

namespace {

constexpr bool IsAsciiDigit(unsigned char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsGermanAlpha(char c) {
  const auto b = static_cast<unsigned char>(c);
  if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z')) return true;
  switch (b) {
    case 0xE4: case 0xF6: case 0xFC:  // ä ö ü
    case 0xC4: case 0xD6: case 0xDC:  // Ä Ö Ü
    case 0xDF:                        // ß
      return true;
    default:
      return false;
  }
}

int isxtdigit(unsigned char c) { return IsAsciiDigit(c); }
int isxtalpha(unsigned char c) { return xtb::cp1252::IsLetter(static_cast<char>(c)); }
int isxtalnum(unsigned char c) { return IsAsciiDigit(c) || xtb::cp1252::IsLetter(static_cast<char>(c)); }
int isxtupper(unsigned char c) { return xtb::cp1252::IsUpper(static_cast<char>(c)); }
int isxtlower(unsigned char c) { return xtb::cp1252::IsLower(static_cast<char>(c)); }
int isxtspace(unsigned char c) { return xtb::cp1252::IsSpace(static_cast<char>(c)); }
