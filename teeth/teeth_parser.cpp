// The tooth-list parser: notation text to tooth indexes on the pending list.
#include "tooth_regions.h"
#include <xtbasis/numbers.h>
#include <xtbasis/teeth.h>

using namespace xtb::teeth;

namespace {

char Lower(char c) { return static_cast<char>(c | 0x20); }

// Whether the characters at `pos` spell `word` (lower-case letters) in any case.
bool HasWordAt(const CString& s, int pos, const char* word) {
  for (int i = 0; word[i] != '\0'; ++i) {
    if (pos + i >= s.GetLength() || Lower(s[pos + i]) != word[i]) return false;
  }
  return true;
}

// ctoi without its temporary string: blanks, then the digits' value. Up to
// nine digits cannot overflow, so they are summed here; a longer run goes
// to ctoi itself for its overflow rule.
int ReadNumber(const CString& s, int& pos) {
  constexpr int kExactDigits = 9;
  const int length = s.GetLength();
  int p = pos;
  while (p < length && s[p] == ' ') ++p;
  int value = 0;
  int end = p;
  for (; end < length && s[end] >= '0' && s[end] <= '9'; ++end) {
    if (end - p == kExactDigits) return ctoi(s, pos);
    value = value * 10 + (s[end] - '0');
  }
  pos = end;
  return value;
}

// The index of an FDI number already known to be in range (CalcToothIndex
// without its range check and call).
int IndexOf(int fdi) { return kIndexOfFdi.index[fdi]; }

// 0, 1 ... 60.
struct EveryIndex {
  int index[kLastIndex + 1] = {};
  constexpr EveryIndex() {
    for (int i = 0; i <= kLastIndex; ++i) index[i] = i;
  }
};
constexpr EveryIndex kEveryIndex;

int RowOf(int index) {
  for (const IndexRun& row : kRows)
    if (index >= row.first && index <= row.last) return static_cast<int>(&row - kRows);
  return -1;
}

}  // namespace

// Only the parser calls this, after its range check.
void CTeeth::AddToothNr(int fdi) { m_pending.push_back(IndexOf(fdi)); }

void CTeeth::AddIndexRange(int a, int b) {
  if (a > b) std::swap(a, b);
  // Copied from a list of all indexes: one capacity check for the range.
  m_pending.insert(m_pending.end(), kEveryIndex.index + a, kEveryIndex.index + b + 1);
}

bool CTeeth::TryDoAddTeethRange(int a, int b) {
  const int ia = IndexOf(a);
  const int ib = IndexOf(b);
  const int row = RowOf(ia);
  if (row < 0 || row != RowOf(ib)) return false;
  AddIndexRange(ia, ib);
  return true;
}

bool CTeeth::TryAddTeethRange(int a, int b) {
  const int ia = IndexOf(a);
  const int ib = IndexOf(b);
  if (RowOf(ia) == 0 && RowOf(ib) == 1) return TryDoAddTeethRange(a, 28) && TryDoAddTeethRange(b, 38);
  if (RowOf(ia) == 2 && RowOf(ib) == 3) return TryDoAddTeethRange(a, 65) && TryDoAddTeethRange(b, 75);
  return TryDoAddTeethRange(a, b);
}

bool CTeeth::TryAnalyseTeeth(const CString& s) {
  const int length = s.GetLength();
  int pos = 0;
  while (pos < length) {
    if (HasWordAt(s, pos, "okm")) {
      AddIndexRange(IndexOf(55), IndexOf(65));
      pos += 4;
      continue;
    }
    if (HasWordAt(s, pos, "ok")) {
      AddIndexRange(IndexOf(18), IndexOf(28));
      pos += 3;
      continue;
    }
    const int n = ReadNumber(s, pos);
    if (n != 0) {
      if (!IsInRange(n)) return false;
      if (pos >= length) {
        AddToothNr(n);
        return true;
      }
      const char next = s[pos];
      if (next == ',' || next == ' ') {
        AddToothNr(n);
        ++pos;
      } else if (next == '-') {
        ++pos;
        const int m = ReadNumber(s, pos);
        if (m == 0 || !IsInRange(m) || !TryAddTeethRange(n, m)) return false;
        ++pos;
      } else {
        return false;
      }
      continue;
    }
    if (HasWordAt(s, pos, "ukm")) {
      AddIndexRange(IndexOf(85), IndexOf(75));
      pos += 4;
    } else if (HasWordAt(s, pos, "uk")) {
      AddIndexRange(IndexOf(48), IndexOf(38));
      pos += 3;
    } else {
      return false;
    }
  }
  return true;
}
