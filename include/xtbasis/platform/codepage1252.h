// Character classes and case tables of code page 1252, the code page of the
// library's data, as the Windows runtime has them under a 1252 locale (the
// German one the suite runs in). They are fixed data: German letters are
// letters whatever the process locale says.
#pragma once

#include <array>
#include <cstdint>

namespace xtb::cp1252 {

// The class bits, one per runtime class test (isupper, islower, isdigit,
// isspace, ispunct, iscntrl, isblank, isxdigit, isalpha).
enum Class : uint16_t {
  kUpper = 0x001,
  kLower = 0x002,
  kDigit = 0x004,
  kSpace = 0x008,
  kPunct = 0x010,
  kControl = 0x020,
  kBlank = 0x040,
  kHexDigit = 0x080,
  kLetter = 0x100,  // letters without case as well; isalpha is any of kLetter, kUpper, kLower
};

namespace detail {

struct Tables {
  std::array<uint16_t, 256> cls{};
  std::array<uint8_t, 256> upper{};
  std::array<uint8_t, 256> lower{};
};

constexpr Tables MakeTables() {
  Tables t;
  for (int c = 0; c < 256; ++c) {
    t.upper[c] = static_cast<uint8_t>(c);
    t.lower[c] = static_cast<uint8_t>(c);
    // Every visible character starts as punctuation; letters and digits are set below.
    t.cls[c] = c < 0x20 || c == 0x7F ? kControl : kPunct;
  }
  for (int c : {0x81, 0x8D, 0x8F, 0x90, 0x9D}) t.cls[c] = kControl;  // bytes without a character
  // The symbols beyond Latin-1 (euro sign, small tilde, trade mark sign) are
  // in no class: the runtime counts symbols as punctuation only up to 0xFF.
  for (int c : {0x80, 0x98, 0x99}) t.cls[c] = 0;
  for (int c = '\t'; c <= '\r'; ++c) t.cls[c] |= kSpace;
  t.cls['\t'] |= kBlank;
  t.cls[' '] = kSpace | kBlank;
  t.cls[0xA0] = kSpace | kBlank;  // no-break space
  t.cls[0xAD] = kPunct | kControl;  // soft hyphen, a format character
  for (int c = '0'; c <= '9'; ++c) t.cls[c] = kDigit | kHexDigit;
  for (int c : {0xB2, 0xB3, 0xB9}) t.cls[c] = kDigit | kPunct;  // superscript two, three, one

  auto pair = [&t](int up, int low) {
    t.cls[up] = kLetter | kUpper;
    t.cls[low] = kLetter | kLower;
    t.lower[up] = static_cast<uint8_t>(low);
    t.upper[low] = static_cast<uint8_t>(up);
  };
  for (int c = 'A'; c <= 'Z'; ++c) pair(c, c + 32);
  for (int c = 0xC0; c <= 0xDE; ++c)
    if (c != 0xD7) pair(c, c + 32);  // 0xD7 and 0xF7 are the signs of multiplication and division
  pair(0x8A, 0x9A);                  // S with caron
  pair(0x8C, 0x9C);                  // ligature OE
  pair(0x8E, 0x9E);                  // Z with caron
  pair(0x9F, 0xFF);                  // Y with diaeresis
  // Lower-case letters whose capital 1252 lacks: f with hook, the ordinal
  // indicators, micro sign, sharp s.
  for (int c : {0x83, 0xAA, 0xB5, 0xBA, 0xDF}) t.cls[c] = kLetter | kLower;
  t.cls[0x88] = kLetter;  // modifier letter circumflex: a letter without case
  for (int c = 'A'; c <= 'F'; ++c) {
    t.cls[c] |= kHexDigit;
    t.cls[c + 32] |= kHexDigit;
  }
  return t;
}

inline constexpr Tables kTables = MakeTables();

}  // namespace detail

constexpr uint16_t Classes(char c) { return detail::kTables.cls[static_cast<uint8_t>(c)]; }
constexpr char ToUpper(char c) { return static_cast<char>(detail::kTables.upper[static_cast<uint8_t>(c)]); }
constexpr char ToLower(char c) { return static_cast<char>(detail::kTables.lower[static_cast<uint8_t>(c)]); }
constexpr bool IsLetter(char c) { return Classes(c) & (kLetter | kUpper | kLower); }
constexpr bool IsUpper(char c) { return Classes(c) & kUpper; }
constexpr bool IsLower(char c) { return Classes(c) & kLower; }
constexpr bool IsSpace(char c) { return Classes(c) & kSpace; }

// The value of a hexadecimal digit (the characters of kHexDigit), or -1.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace xtb::cp1252
