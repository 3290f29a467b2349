// The lstr* and Char* calls of the Windows API on code page 1252.
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/win32/types.h>

#include <cstdint>
#include <cstring>

namespace {

namespace cp = xtb::cp1252;

// The letter a 1252 letter is sorted with, in lower case: accents, cedillas
// and strokes are dropped (ä, á, å are a; ç is c; ø is o; ß is s).
char BaseLetter(char ch) {
  static constexpr const char* kBases =
      // 0xC0 .. 0xDF
      "aaaaaaaceeeeiiii" "dnooooo\0ouuuuyts"
      // 0xE0 .. 0xFF
      "aaaaaaaceeeeiiii" "dnooooo\0ouuuuyty";
  const uint8_t byte = static_cast<uint8_t>(ch);
  switch (byte) {
    case 0x8A: case 0x9A: return 's';
    case 0x8C: case 0x9C: return 'o';
    case 0x8E: case 0x9E: return 'z';
    case 0x9F: return 'y';
    default: break;
  }
  if (byte >= 0xC0 && kBases[byte - 0xC0] != '\0') return kBases[byte - 0xC0];
  return cp::ToLower(ch);
}

// Symbols first (in code order), then digits, then letters by base letter.
int PrimaryWeight(char ch) {
  if (ch >= '0' && ch <= '9') return 0x200 + ch;
  if (cp::IsLetter(ch)) return 0x300 + static_cast<uint8_t>(BaseLetter(ch));
  return static_cast<uint8_t>(ch);
}

// Hyphens and apostrophes are left out of the first comparisons, as a word
// list sorts "coop" next to "co-op".
bool Ignorable(char ch) { return ch == '-' || ch == '\''; }

int Sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

// Compares the two texts' characters that are not ignorable, by `key`.
template <class Key>
int CompareBy(const char* a, const char* b, Key key) {
  while (true) {
    while (*a && Ignorable(*a)) ++a;
    while (*b && Ignorable(*b)) ++b;
    if (!*a || !*b) return Sign((*a != '\0') - (*b != '\0'));
    const int difference = key(*a) - key(*b);
    if (difference != 0) return Sign(difference);
    ++a;
    ++b;
  }
}

int WordCompare(LPCSTR first, LPCSTR second, bool caseMatters) {
  const char* a = first ? first : "";
  const char* b = second ? second : "";
  if (int r = CompareBy(a, b, PrimaryWeight)) return r;
  if (int r = CompareBy(a, b, [](char ch) { return static_cast<uint8_t>(cp::ToLower(ch)); })) return r;
  if (caseMatters) {
    if (int r = CompareBy(a, b, [](char ch) { return cp::IsUpper(ch) ? 1 : 0; })) return r;
  }
  // Equal but for hyphens and apostrophes: the text without them first.
  while (*a && *b && cp::ToLower(*a) == cp::ToLower(*b)) {
    ++a;
    ++b;
  }
  if (!*a || !*b) return Sign((*a != '\0') - (*b != '\0'));
  return Ignorable(*a) ? 1 : -1;
}

// A "pointer" up to 0xFFFF carries a single character.
bool IsSingleCharacter(LPCSTR text) { return (reinterpret_cast<uintptr_t>(text) >> 16) == 0; }

template <class Change>
LPSTR ChangeCase(LPSTR text, Change change) {
  if (IsSingleCharacter(text)) {
    const char ch = static_cast<char>(reinterpret_cast<uintptr_t>(text) & 0xFF);
    return reinterpret_cast<LPSTR>(static_cast<uintptr_t>(static_cast<uint8_t>(change(ch))));
  }
  for (char* p = text; *p; ++p) *p = change(*p);
  return text;
}

template <class Change>
DWORD ChangeCaseOfBuffer(LPSTR text, DWORD length, Change change) {
  if (!text) return 0;
  for (DWORD i = 0; i < length; ++i) text[i] = change(text[i]);
  return length;
}

}  // namespace

int lstrlenA(LPCSTR text) { return text ? static_cast<int>(std::strlen(text)) : 0; }

LPSTR lstrcpyA(LPSTR destination, LPCSTR source) {
  if (!destination || !source) return nullptr;
  return std::strcpy(destination, source);
}

LPSTR lstrcpynA(LPSTR destination, LPCSTR source, int length) {
  if (!destination || !source) return nullptr;
  if (length <= 0) return destination;
  int i = 0;
  for (; i < length - 1 && source[i]; ++i) destination[i] = source[i];
  destination[i] = '\0';
  return destination;
}

LPSTR lstrcatA(LPSTR destination, LPCSTR source) {
  if (!destination || !source) return nullptr;
  return std::strcat(destination, source);
}

int lstrcmpA(LPCSTR first, LPCSTR second) { return WordCompare(first, second, true); }
int lstrcmpiA(LPCSTR first, LPCSTR second) { return WordCompare(first, second, false); }

LPSTR CharUpperA(LPSTR text) { return ChangeCase(text, cp::ToUpper); }
LPSTR CharLowerA(LPSTR text) { return ChangeCase(text, cp::ToLower); }
DWORD CharUpperBuffA(LPSTR text, DWORD length) { return ChangeCaseOfBuffer(text, length, cp::ToUpper); }
DWORD CharLowerBuffA(LPSTR text, DWORD length) { return ChangeCaseOfBuffer(text, length, cp::ToLower); }

BOOL IsCharAlphaA(CHAR ch) { return cp::IsLetter(ch); }
BOOL IsCharAlphaNumericA(CHAR ch) { return cp::IsLetter(ch) || (ch >= '0' && ch <= '9'); }
BOOL IsCharUpperA(CHAR ch) { return cp::IsUpper(ch); }
BOOL IsCharLowerA(CHAR ch) { return cp::IsLower(ch); }
