// Output forms of a tooth set: the normal form, the VDDS form, the
// hexadecimal database form, and the conversions to standard containers.
#include "tooth_regions.h"
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/teeth.h>

using namespace xtb::teeth;

namespace {

// Index intervals of the normal form, in writing order.
constexpr IndexRun kNormalOrder[] = {{53, 53}, {1, 16},  {54, 54}, {56, 56}, {17, 32}, {55, 55},
                                     {57, 57}, {33, 42}, {58, 58}, {60, 60}, {43, 52}, {59, 59}};

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

// Writes the two-digit FDI number of a tooth index, as "%i" would.
char* PutToothNr(int index, char* at) {
  const int fdi = CTeeth::CalcToothNr(index);
  *at++ = static_cast<char>('0' + fdi / 10);
  *at++ = static_cast<char>('0' + fdi % 10);
  return at;
}

}  // namespace

void CTeeth::OutTeethStr(int first, int last, CString& out) const {
  // One piece, appended at once: ",13-28" at most.
  char piece[6];
  char* end = piece;
  if (!out.IsEmpty()) *end++ = ',';
  if (IsUpperJaw(first, last)) {
    *end++ = 'O';
    *end++ = 'K';
  } else if (IsLowerJaw(first, last)) {
    *end++ = 'U';
    *end++ = 'K';
  } else {
    end = PutToothNr(first, end);
    if (first != last) {
      *end++ = (last == first + 1 && m_bPair) ? ',' : '-';
      end = PutToothNr(last, end);
    }
  }
  out.Append(piece, static_cast<int>(end - piece));
}

void CTeeth::FormatTeeth(int first, int last, CString& out) const {
  uint64_t bits = MarkedBits() & Span(first, last);
  while (bits != 0) {
    const int start = __builtin_ctzll(bits);
    const uint64_t fromStart = bits >> start;
    const int length = __builtin_ctzll(~fromStart);  // fromStart has a 0 above bit 60
    OutTeethStr(start, start + length - 1, out);
    bits &= ~Span(start, start + length - 1);
  }
}

void CTeeth::WriteNormalForm(CString& out) const {
  // Emptied, not replaced: a caller's reused string keeps its capacity.
  out.Empty();
  for (const IndexRun& run : kNormalOrder) FormatTeeth(run.first, run.last, out);
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
  static constexpr IndexRun kQuadrants[] = {{1, 8}, {9, 16}, {25, 32}, {17, 24}};
  CString out;
  if (quadrant >= 1 && quadrant <= 4) FormatTeeth(kQuadrants[quadrant - 1].first, kQuadrants[quadrant - 1].last, out);
  return out;
}

void CTeeth::GetHexTeeth(CString& out) const {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  char text[18];
  for (int g = 0; g < 9; ++g) {
    const HexGroup& group = kHexGroups[g];
    // The group's first position is its most significant bit.
    const unsigned bits = static_cast<unsigned>(m_marks.in >> group.first) & ((1u << group.count) - 1);
    const unsigned byte = (kReversed.bits[bits] >> (8 - group.count)) << (group.shift + 1 - group.count);
    text[2 * g] = kDigits[byte >> 4];
    text[2 * g + 1] = kDigits[byte & 15];
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
