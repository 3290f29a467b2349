// The OEM conversions and the 1252 character classes byte for byte against
// tables written from Windows' published data: the best-fit tables of code
// pages 1252 and 850, and the runtime's character types of code page 1252.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>

#include <xtbasis/charclass.h>
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/platform/cstring.h>
#include <xtbasis/textfilters.h>
#include <xtbasis/transcode.h>

namespace {

// 1252 bytes 0x80..0xFF as the 850 bytes Windows writes for them.
constexpr uint8_t kAnsiToOemHigh[128] = {
    /* 80 */ 0x3F, 0x3F, 0x27, 0x9F, 0x22, 0x2E, 0xC5, 0xCE, 0x5E, 0x25, 0x53, 0x3C, 0x4F, 0x3F, 0x5A, 0x3F,
    /* 90 */ 0x3F, 0x27, 0x27, 0x22, 0x22, 0x07, 0x2D, 0x2D, 0x7E, 0x54, 0x73, 0x3E, 0x6F, 0x3F, 0x7A, 0x59,
    /* A0 */ 0xFF, 0xAD, 0xBD, 0x9C, 0xCF, 0xBE, 0xDD, 0xF5, 0xF9, 0xB8, 0xA6, 0xAE, 0xAA, 0xF0, 0xA9, 0xEE,
    /* B0 */ 0xF8, 0xF1, 0xFD, 0xFC, 0xEF, 0xE6, 0xF4, 0xFA, 0xF7, 0xFB, 0xA7, 0xAF, 0xAC, 0xAB, 0xF3, 0xA8,
    /* C0 */ 0xB7, 0xB5, 0xB6, 0xC7, 0x8E, 0x8F, 0x92, 0x80, 0xD4, 0x90, 0xD2, 0xD3, 0xDE, 0xD6, 0xD7, 0xD8,
    /* D0 */ 0xD1, 0xA5, 0xE3, 0xE0, 0xE2, 0xE5, 0x99, 0x9E, 0x9D, 0xEB, 0xE9, 0xEA, 0x9A, 0xED, 0xE8, 0xE1,
    /* E0 */ 0x85, 0xA0, 0x83, 0xC6, 0x84, 0x86, 0x91, 0x87, 0x8A, 0x82, 0x88, 0x89, 0x8D, 0xA1, 0x8C, 0x8B,
    /* F0 */ 0xD0, 0xA4, 0x95, 0xA2, 0x93, 0xE4, 0x94, 0xF6, 0x9B, 0x97, 0xA3, 0x96, 0x81, 0xEC, 0xE7, 0x98,
};

// 850 bytes 0x80..0xFF as the 1252 bytes Windows writes for them.
constexpr uint8_t kOemToAnsiHigh[128] = {
    /* 80 */ 0xC7, 0xFC, 0xE9, 0xE2, 0xE4, 0xE0, 0xE5, 0xE7, 0xEA, 0xEB, 0xE8, 0xEF, 0xEE, 0xEC, 0xC4, 0xC5,
    /* 90 */ 0xC9, 0xE6, 0xC6, 0xF4, 0xF6, 0xF2, 0xFB, 0xF9, 0xFF, 0xD6, 0xDC, 0xF8, 0xA3, 0xD8, 0xD7, 0x83,
    /* A0 */ 0xE1, 0xED, 0xF3, 0xFA, 0xF1, 0xD1, 0xAA, 0xBA, 0xBF, 0xAE, 0xAC, 0xBD, 0xBC, 0xA1, 0xAB, 0xBB,
    /* B0 */ 0xA6, 0xA6, 0xA6, 0xA6, 0xA6, 0xC1, 0xC2, 0xC0, 0xA9, 0xA6, 0xA6, 0x2B, 0x2B, 0xA2, 0xA5, 0x2B,
    /* C0 */ 0x2B, 0x2D, 0x2D, 0x2B, 0x2D, 0x2B, 0xE3, 0xC3, 0x2B, 0x2B, 0x2D, 0x2D, 0xA6, 0x2D, 0x2B, 0xA4,
    /* D0 */ 0xF0, 0xD0, 0xCA, 0xCB, 0xC8, 0x69, 0xCD, 0xCE, 0xCF, 0x2B, 0x2B, 0xA6, 0x5F, 0xA6, 0xCC, 0xAF,
    /* E0 */ 0xD3, 0xDF, 0xD4, 0xD2, 0xF5, 0xD5, 0xB5, 0xFE, 0xDE, 0xDA, 0xDB, 0xD9, 0xFD, 0xDD, 0xAF, 0xB4,
    /* F0 */ 0xAD, 0xB1, 0x3D, 0xBE, 0xB6, 0xA7, 0xF7, 0xB8, 0xB0, 0xA8, 0xB7, 0xB9, 0xB3, 0xB2, 0xA6, 0xA0,
};

std::string AllBytes() {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  return all;
}

// Converts all 256 bytes at once and compares each with the table (below
// 0x80 both code pages are ASCII and its controls).
void ExpectEveryByte(void (*convert)(CString&), const uint8_t (&high)[128], const char* codePage) {
  CString text(AllBytes());
  convert(text);
  ASSERT_EQ(text.GetLength(), 256);
  for (int b = 0; b < 256; ++b) {
    const uint8_t want = b < 0x80 ? static_cast<uint8_t>(b) : high[b - 0x80];
    EXPECT_EQ(static_cast<uint8_t>(text[b]), want) << codePage << " byte 0x" << std::hex << b;
  }
}

TEST(OemTables, EveryAnsiByte) { ExpectEveryByte(Ansi2Ascii, kAnsiToOemHigh, "1252"); }

TEST(OemTables, EveryOemByte) { ExpectEveryByte(Ascii2Ansi, kOemToAnsiHigh, "850"); }

TEST(OemTables, NamesAndBoxesInBothDirections) {
  CString name = "\x8A" "koda \x84" "Gr\xFC\xDF" "e\x93 \x95 \x86";
  Ansi2Ascii(name);
  EXPECT_EQ(name, "Skoda \"Gr\x81\xE1" "e\" \x07 \xC5");
  CString box = "\xC9\xCD\xBB\xBA\xB3x\xC4\xD5";
  Ascii2Ansi(box);
  EXPECT_EQ(box, "+-+\xA6\xA6x-i");
  // Every character the two code pages share survives the round trip.
  CString shared = "Stra\xDF" "e \xE4\xF6\xFC\xC4\xD6\xDC \xE9\xE8 \xA7 \xB5 \xBD";
  const CString original = shared;
  Ansi2Ascii(shared);
  Ascii2Ansi(shared);
  EXPECT_EQ(shared, original);
  CString withNul("a\0\x80", 3);
  Ansi2Ascii(withNul);
  EXPECT_EQ(withNul.str(), std::string("a\0?", 3));
}

// The runtime's classes of every 1252 byte, one letter per byte:
// c control, t tab (control, space, blank), s other control spaces,
// b space and no-break space (space, blank), p punctuation, h soft hyphen
// (punctuation, control), d digit (also hexadecimal), 2 superscript digit
// (digit, punctuation), U upper-case letter, L lower-case letter, X and x
// hexadecimal letters, a letter without case, - no class at all.
constexpr const char* kClassRows[16] = {
    "ccccccccctsssscc", "cccccccccccccccc", "bppppppppppppppp", "ddddddddddpppppp",
    "pXXXXXXUUUUUUUUU", "UUUUUUUUUUUppppp", "pxxxxxxLLLLLLLLL", "LLLLLLLLLLLppppc",
    "-cpLppppapUpUcUc", "cppppppp--LpLcLU", "bpppppppppLpphpp", "pp22pLppp2Lppppp",
    "UUUUUUUUUUUUUUUU", "UUUUUUUpUUUUUUUL", "LLLLLLLLLLLLLLLL", "LLLLLLLpLLLLLLLL"};

uint16_t ClassesOf(char code) {
  using namespace xtb::cp1252;
  static const std::map<char, uint16_t> kCodes = {
      {'c', kControl},
      {'t', kControl | kSpace | kBlank},
      {'s', kControl | kSpace},
      {'b', kSpace | kBlank},
      {'p', kPunct},
      {'h', kPunct | kControl},
      {'d', kDigit | kHexDigit},
      {'2', kDigit | kPunct},
      {'U', kLetter | kUpper},
      {'L', kLetter | kLower},
      {'X', kLetter | kUpper | kHexDigit},
      {'x', kLetter | kLower | kHexDigit},
      {'a', kLetter},
      {'-', 0},
  };
  return kCodes.at(code);
}

TEST(CharClassTable, EveryByteAsTheRuntimeClassifiesIt) {
  for (const char* row : kClassRows) ASSERT_EQ(std::string(row).size(), 16u) << row;
  for (int b = 0; b < 256; ++b) {
    const char code = kClassRows[b / 16][b % 16];
    const uint16_t want = ClassesOf(code);
    const auto c = static_cast<unsigned char>(b);
    EXPECT_EQ(xtb::cp1252::Classes(static_cast<char>(b)), want) << "byte 0x" << std::hex << b;
    const bool letter = code == 'U' || code == 'L' || code == 'X' || code == 'x' || code == 'a';
    EXPECT_EQ(isxtalpha(c) != 0, letter) << "byte 0x" << std::hex << b;
    EXPECT_EQ(isxtalnum(c) != 0, letter || (b >= '0' && b <= '9')) << "byte 0x" << std::hex << b;
    EXPECT_EQ(isxtupper(c) != 0, code == 'U' || code == 'X') << "byte 0x" << std::hex << b;
    EXPECT_EQ(isxtlower(c) != 0, code == 'L' || code == 'x') << "byte 0x" << std::hex << b;
    EXPECT_EQ(isxtspace(c) != 0, code == 't' || code == 's' || code == 'b') << "byte 0x" << std::hex << b;
    EXPECT_EQ(isxtdigit(c) != 0, code == 'd') << "byte 0x" << std::hex << b;
  }
}

TEST(CharClassTable, CaseMappingsOfEveryByte) {
  // Capitals and their small letters, place by place; every other byte maps to itself.
  const std::string upper =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZ\x8A\x8C\x8E\x9F"
      "\xC0\xC1\xC2\xC3\xC4\xC5\xC6\xC7\xC8\xC9\xCA\xCB\xCC\xCD\xCE\xCF\xD0\xD1\xD2\xD3\xD4\xD5\xD6"
      "\xD8\xD9\xDA\xDB\xDC\xDD\xDE";
  const std::string lower =
      "abcdefghijklmnopqrstuvwxyz\x9A\x9C\x9E\xFF"
      "\xE0\xE1\xE2\xE3\xE4\xE5\xE6\xE7\xE8\xE9\xEA\xEB\xEC\xED\xEE\xEF\xF0\xF1\xF2\xF3\xF4\xF5\xF6"
      "\xF8\xF9\xFA\xFB\xFC\xFD\xFE";
  ASSERT_EQ(upper.size(), lower.size());
  for (int b = 0; b < 256; ++b) {
    const char c = static_cast<char>(b);
    const size_t atUpper = upper.find(c), atLower = lower.find(c);
    const char wantUpper = atLower != std::string::npos ? upper[atLower] : c;
    const char wantLower = atUpper != std::string::npos ? lower[atUpper] : c;
    EXPECT_EQ(xtb::cp1252::ToUpper(c), wantUpper) << "byte 0x" << std::hex << b;
    EXPECT_EQ(xtb::cp1252::ToLower(c), wantLower) << "byte 0x" << std::hex << b;
  }
  CString name = "\xDF\xFF\xB5\x83 m\xFC" "ller";
  name.MakeUpper();
  EXPECT_EQ(name, "\xDF\x9F\xB5\x83 M\xDC" "LLER");  // sharp s, micro sign and f with hook keep their case
}

TEST(CharClassTable, AlphanumericFilterKeepsRuntimeLetters) {
  EXPECT_EQ(GetAlNum("\x88" "a\xB2\xB3\xB9 1\xAA\xBA\xD7\xF7\x8A\x9F-\xA0" "2"), "\x88" "a1\xAA\xBA\x8A\x9F" "2");
}

}  // namespace
