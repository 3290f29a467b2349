// Code page 1252 to OEM code page 850 and back through two byte tables; a
// character the other side lacks becomes its Windows best fit, else '?'.
#include <array>

#include <xtbasis/transcode.h>

#include "codepage_tables.h"

namespace {

using Table = std::array<char, 256>;

// For every byte of code page `from`, the byte of code page `to` with the
// same character, else the best fit that `to` has for it, else '?'.
template <typename From, typename To, size_t N>
constexpr Table MakeTable(From from, To to, const std::array<xtb::codepage::BestFit, N>& bestFits) {
  Table t{};
  for (int b = 0; b < 256; ++b) {
    const char32_t u = from(static_cast<uint8_t>(b));
    char mapped = '?';
    for (const auto& fit : bestFits)
      if (fit.unicode == u) mapped = static_cast<char>(fit.byte);
    for (int c = 0; c < 256; ++c)
      if (to(static_cast<uint8_t>(c)) == u) {
        mapped = static_cast<char>(c);
        break;
      }
    t[static_cast<size_t>(b)] = mapped;
  }
  return t;
}

constexpr Table kAnsiToOem =
    MakeTable(xtb::Cp1252CodePoint, xtb::codepage::Cp850ToUnicode, xtb::codepage::kCp850BestFit);
constexpr Table kOemToAnsi =
    MakeTable(xtb::codepage::Cp850ToUnicode, xtb::Cp1252CodePoint, xtb::codepage::kCp1252BestFit);

void Translate(CString& text, const Table& table) {
  std::string s = text.str();
  for (char& c : s) c = table[static_cast<uint8_t>(c)];
  text = CString(std::move(s));
}

}  // namespace

void Ansi2Ascii(CString& text) { Translate(text, kAnsiToOem); }
void Ascii2Ansi(CString& text) { Translate(text, kOemToAnsi); }
