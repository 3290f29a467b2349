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

int RowOf(int index) {
  for (const IndexRun& row : kRows)
    if (index >= row.first && index <= row.last) return static_cast<int>(&row - kRows);
  return -1;
}

}  // namespace

void CTeeth::AddToothNr(int fdi) { m_pending.push_back(CalcToothIndex(fdi)); }

void CTeeth::AddIndexRange(int a, int b) {
  if (a > b) std::swap(a, b);
  for (int i = a; i <= b; ++i) m_pending.push_back(i);
}

bool CTeeth::TryDoAddTeethRange(int a, int b) {
  const int ia = CalcToothIndex(a);
  const int ib = CalcToothIndex(b);
  const int row = RowOf(ia);
  if (row < 0 || row != RowOf(ib)) return false;
  AddIndexRange(ia, ib);
  return true;
}

bool CTeeth::TryAddTeethRange(int a, int b) {
  const int ia = CalcToothIndex(a);
  const int ib = CalcToothIndex(b);
  if (RowOf(ia) == 0 && RowOf(ib) == 1) return TryDoAddTeethRange(a, 28) && TryDoAddTeethRange(b, 38);
  if (RowOf(ia) == 2 && RowOf(ib) == 3) return TryDoAddTeethRange(a, 65) && TryDoAddTeethRange(b, 75);
  return TryDoAddTeethRange(a, b);
}

bool CTeeth::TryAnalyseTeeth(const CString& s) {
  const int length = s.GetLength();
  int pos = 0;
  while (pos < length) {
    if (HasWordAt(s, pos, "okm")) {
      AddIndexRange(CalcToothIndex(55), CalcToothIndex(65));
      pos += 4;
      continue;
    }
    if (HasWordAt(s, pos, "ok")) {
      AddIndexRange(CalcToothIndex(18), CalcToothIndex(28));
      pos += 3;
      continue;
    }
    const int n = ctoi(s, pos);
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
        const int m = ctoi(s, pos);
        if (m == 0 || !IsInRange(m) || !TryAddTeethRange(n, m)) return false;
        ++pos;
      } else {
        return false;
      }
      continue;
    }
    if (HasWordAt(s, pos, "ukm")) {
      AddIndexRange(CalcToothIndex(85), CalcToothIndex(75));
      pos += 4;
    } else if (HasWordAt(s, pos, "uk")) {
      AddIndexRange(CalcToothIndex(48), CalcToothIndex(38));
      pos += 3;
    } else {
      return false;
    }
  }
  return true;
}
