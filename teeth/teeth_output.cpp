// Output forms of a tooth set: the normal form, the VDDS form, the
// hexadecimal database form, and the conversions to standard containers.
#include "tooth_regions.h"
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/teeth.h>

using namespace xtb::teeth;

namespace {

// Index intervals of the normal form, in writing order.
constexpr uint64_t kNormalOrder[] = {Bit(53), Span(1, 16),  Bit(54), Bit(56), Span(17, 32), Bit(55),
                                     Bit(57), Span(33, 42), Bit(58), Bit(60), Span(43, 52), Bit(59)};

// Positions of the nine database groups; `shift` is the bit of the group's
// first position (7 for a full group, 4 for a right-aligned milk group).
struct HexGroup {
  int first;
  int count;
  int shift;
};
constexpr HexGroup kHexGroups[] = {{1, 8, 7},  {9, 8, 7},  {17, 8, 7}, {25, 8, 7}, {33, 5, 4},
                                   {38, 5, 7}, {43, 5, 4}, {48, 5, 7}, {53, 8, 7}};

// Each byte with its bit order reversed.
struct ReversedBytes {
  uint8_t bits[256] = {};
  constexpr ReversedBytes() {
    for (int b = 0; b < 256; ++b)
      for (int i = 0; i < 8; ++i)
        if (b & (1 << i)) bits[b] = static_cast<uint8_t>(bits[b] | (0x80 >> i));
  }
};
constexpr ReversedBytes kReversed;

// Each byte's two upper-case hexadecimal digits.
struct HexPairs {
  char digits[256][2] = {};
  constexpr HexPairs() {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (int b = 0; b < 256; ++b) {
      digits[b][0] = kDigits[b >> 4];
      digits[b][1] = kDigits[b & 15];
    }
  }
};
constexpr HexPairs kHexPairs;

// The value of the leading hexadecimal digits of `count` characters from
// `offset`; 0 when there are none (also beyond the end).
unsigned ReadHex(const CString& hex, int offset, int count) {
  unsigned value = 0;
  for (int i = offset; i < offset + count && i < hex.GetLength(); ++i) {
    const int digit = xtb::cp1252::HexDigitValue(hex[i]);
    if (digit < 0) break;
    value = value * 16 + static_cast<unsigned>(digit);
  }
  return value;
}

// The two digits of each index's FDI number.
struct FdiDigits {
  char text[kLastIndex + 1][2] = {};
  constexpr FdiDigits() {
    for (int i = 1; i <= kLastIndex; ++i) {
      text[i][0] = static_cast<char>('0' + kFdiOfIndex[i] / 10);
      text[i][1] = static_cast<char>('0' + kFdiOfIndex[i] % 10);
    }
  }
};
constexpr FdiDigits kFdiDigits;

char* PutToothNr(int index, char* at) {
  at[0] = kFdiDigits.text[index][0];
  at[1] = kFdiDigits.text[index][1];
  return at + 2;
}

// The longest normal form: every tooth alone, two digits and a comma each.
constexpr int kNormalFormMax = 3 * kLastIndex;

}  // namespace

// One piece (",13-28" at most) at `at`, a comma first unless `at` is the
// start of the text.
char* CTeeth::OutTeethStr(int first, int last, char* start, char* at) const {
  if (at != start) *at++ = ',';
  if (IsUpperJaw(first, last)) {
    *at++ = 'O';
    *at++ = 'K';
  } else if (IsLowerJaw(first, last)) {
    *at++ = 'U';
    *at++ = 'K';
  } else {
    at = PutToothNr(first, at);
    if (first != last) {
      *at++ = (last == first + 1 && m_bPair) ? ',' : '-';
      at = PutToothNr(last, at);
    }
  }
  return at;
}

char* CTeeth::FormatTeeth(uint64_t region, char* start, char* at) const {
  uint64_t bits = MarkedBits() & region;
  while (bits != 0) {
    const int begin = __builtin_ctzll(bits);
    const uint64_t fromBegin = bits >> begin;
    const int length = __builtin_ctzll(~fromBegin);  // fromBegin has a 0 above bit 60
    at = OutTeethStr(begin, begin + length - 1, start, at);
    bits &= ~Span(begin, begin + length - 1);
  }
  return at;
}

void CTeeth::WriteNormalForm(CString& out) const {
  // Written whole into a buffer and copied once; `out` is emptied, not
  // replaced, so a caller's reused string keeps its capacity.
  char text[kNormalFormMax];
  char* end = text;
  const uint64_t marked = MarkedBits();
  for (const uint64_t region : kNormalOrder)
    if ((marked & region) != 0) end = FormatTeeth(region, text, end);
  out.Empty();
  out.Append(text, static_cast<int>(end - text));
}

CString CTeeth::NormalForm() const {
  CString out;
  out.Preallocate(64);
  WriteNormalForm(out);
  return out;
}

void CTeeth::GetNormalizedTeeth(CString& out, bool expandJaws) const {
  WriteNormalForm(out);
  if (expandJaws) {
    out.Replace("OK", "18-28");
    out.Replace("UK", "38-48");
  }
}

void CTeeth::GetVDDSTeeth(CString& out) const {
  WriteNormalForm(out);
  out.Replace("OK", "01");
  out.Replace("UK", "02");
}

CString CTeeth::GetPermQuadrantTeeth(int quadrant) const {
  static constexpr uint64_t kQuadrants[] = {Span(1, 8), Span(9, 16), Span(25, 32), Span(17, 24)};
  if (quadrant < 1 || quadrant > 4) return CString();
  char text[kNormalFormMax];
  const char* end = FormatTeeth(kQuadrants[quadrant - 1], text, text);
  return CString(text, static_cast<int>(end - text));
}

void CTeeth::GetHexTeeth(CString& out) const {
  char text[18];
  // Unrolled, the groups' positions become constants of the shifts.
#pragma GCC unroll 9
  for (int g = 0; g < 9; ++g) {
    const HexGroup& group = kHexGroups[g];
    // The group's first position is its most significant bit.
    const unsigned bits = static_cast<unsigned>(m_marks.in >> group.first) & ((1u << group.count) - 1);
    const unsigned byte = (kReversed.bits[bits] >> (8 - group.count)) << (group.shift + 1 - group.count);
    text[2 * g] = kHexPairs.digits[byte][0];
    text[2 * g + 1] = kHexPairs.digits[byte][1];
  }
  // Emptied and filled in place, keeping out's buffer.
  out.Empty();
  out.Append(text, 18);
}

void CTeeth::SetHexTeeth(CString hex) {
  // Four 16-bit pieces: two full groups each for the permanent rows, the five
  // used bits of each of the two milk groups; then one byte of ninth positions.
  m_marks = Marks{};
  uint64_t in = 0;
  int index = 1;
  for (int offset = 0; offset < 16; offset += 4) {
    const unsigned piece = ReadHex(hex, offset, 4);
    const int firstBit = offset < 8 ? 15 : 12;
    const int count = offset < 8 ? 16 : 10;
    for (int i = 0; i < count; ++i, ++index)
      if (piece & (1u << (firstBit - i))) in |= Bit(index);
  }
  const unsigned ninth = ReadHex(hex, 16, 2);
  for (int i = 0; i < 8; ++i, ++index)
    if (ninth & (1u << (7 - i))) in |= Bit(index);
  m_marks.in = in;
  m_marks.out = kAllTeeth & ~in;
}

CString CTeeth::Db2Teeth(CString hex) {
  SetHexTeeth(hex);
  CString normal = NormalForm();
  Clear();
  return normal;
}

CString CTeeth::Teeth2Db(CString notation) {
  TryAddTeeth(notation);
  CString hex;
  GetHexTeeth(hex);
  Clear();
  return hex;
}

void CTeeth::ToSet(std::set<char>& out) const {
  out.clear();
  for (uint64_t bits = m_marks.in; bits != 0; bits &= bits - 1)
    out.insert(static_cast<char>(CalcToothNr(__builtin_ctzll(bits))));
}

void CTeeth::ToVector(std::vector<int>& out) const {
  out.clear();
  for (uint64_t bits = m_marks.in; bits != 0; bits &= bits - 1) out.push_back(CalcToothNr(__builtin_ctzll(bits)));
}
