// CTeeth state: marks, the counter and the operations that drain the
// pending list into the marks.
#include "tooth_regions.h"

#include <bit>
#include <xtbasis/teeth.h>

using namespace xtb::teeth;

CTeeth::CTeeth() : m_bPair(true), m_nCounter(0) {}

CTeeth::~CTeeth() = default;

void CTeeth::Clear() {
  m_marks = Marks{};
  m_nCounter = 0;
  m_pending.clear();
}

char CTeeth::GetMark(int index) const {
  if (index < 0 || index > kLastIndex) return ' ';
  const uint64_t bit = Bit(index);
  if (m_marks.in & bit) return '1';
  if (m_marks.fixed & bit) return '2';
  if (m_marks.gap & bit) return 'l';
  if (m_marks.out & bit) return '0';
  return ' ';
}

CString CTeeth::GetMarks() const {
  CString marks;
  for (int i = 0; i <= kLastIndex; ++i) marks += GetMark(i);
  return marks;
}

void CTeeth::UnMarkTooth(int index) {
  SetMarkOut(index);
  --m_nCounter;
}

void CTeeth::BlankRegion(uint64_t region) {
  const uint64_t keep = ~region;
  m_marks.in &= keep;
  m_marks.fixed &= keep;
  m_marks.gap &= keep;
  m_marks.out &= keep;
}

void CTeeth::SetMarkOut(int index) {
  if (!IsTooth(index)) return;
  BlankRegion(Bit(index));
  m_marks.out |= Bit(index);
}

void CTeeth::MarkGapClosure(int index) {
  if (!IsTooth(index)) return;
  BlankRegion(Bit(index));
  m_marks.gap |= Bit(index);
}

void CTeeth::UnMarkRegion(uint64_t region) {
  region &= kAllTeeth;
  m_marks.in &= ~region;
  m_marks.fixed &= ~region;
  m_marks.gap &= ~region;
  m_marks.out |= region;
  m_nCounter -= __builtin_popcountll(region);
}

void CTeeth::ClearOkTeeth() { UnMarkRegion(Span(1, 16)); }

void CTeeth::ClearUkTeeth() { UnMarkRegion(Span(17, 32)); }

void CTeeth::FixCurrentTeeth() {
  m_marks.fixed |= m_marks.in;
  m_marks.in = 0;
}

void CTeeth::KillFixTeeth() {
  m_marks.out |= m_marks.fixed;
  m_marks.fixed = 0;
}

int CTeeth::CountMarked(uint64_t region) const { return __builtin_popcountll(MarkedBits() & region); }

int CTeeth::CntTeeth() const {
  const int marked = CountMarked(kAllTeeth);
  return marked != 0 ? marked : static_cast<int>(m_pending.size());
}

int CTeeth::PopPending() {
  const int index = m_pending.back();
  m_pending.pop_back();
  return index;
}

bool CTeeth::TryMarkAllPending() {
  // Without branches per index: the list holds no index twice exactly when
  // its bits are as many as its entries.
  uint64_t pending = 0;
  bool outside = false;
  for (const int index : m_pending) {
    outside |= !IsTooth(index);
    pending |= Bit(index & 63);
  }
  if (outside || std::popcount(pending) != static_cast<int>(m_pending.size()) || (MarkedBits() & pending) != 0)
    return false;
  // What MarkTooth does for each index, all at once.
  m_marks.gap &= ~pending;
  m_marks.out &= ~pending;
  m_marks.in |= pending;
  m_nCounter += static_cast<int>(m_pending.size());
  m_pending.clear();
  return true;
}

bool CTeeth::TryAddTeeth(CString notation) {
  if (!TryAnalyseTeeth(notation)) return false;
  // Without a repeated or already marked tooth the one-by-one drain below
  // cannot fail, so the whole list is marked in one step.
  if (TryMarkAllPending()) return true;
  while (!m_pending.empty()) {
    const int index = PopPending();
    if (IsMarkedTooth(index)) return false;
    MarkTooth(index);
  }
  return true;
}

bool CTeeth::TryDoAddTeeth(CString notation) {
  if (!TryAnalyseTeeth(notation)) return false;
  while (!m_pending.empty()) MarkTooth(PopPending());
  return true;
}

bool CTeeth::TryDoAddGapClosure(CString notation) {
  if (!TryAnalyseTeeth(notation)) return false;
  while (!m_pending.empty()) {
    const int index = PopPending();
    if (!IsMarkedTooth(index)) MarkGapClosure(index);
  }
  return true;
}

bool CTeeth::TrySubTeeth(CString notation) {
  if (!TryAnalyseTeeth(notation)) return false;
  while (!m_pending.empty()) {
    const int index = PopPending();
    if (IsMarkedTooth(index)) UnMarkTooth(index);
  }
  return true;
}

bool CTeeth::ContainsTeeth(CString notation) {
  const int before = CntTeeth();
  if (!TryAnalyseTeeth(notation)) return false;
  while (!m_pending.empty()) {
    const int index = PopPending();
    if (IsMarkedTooth(index)) UnMarkTooth(index);
  }
  return CntTeeth() != before;
}

bool CTeeth::TryPush(CString notation) {
  if (!TryAnalyseTeeth(notation)) return false;
  m_nCounter = static_cast<int>(m_pending.size());
  return true;
}

bool CTeeth::TryPop(int& value, bool asFinding) {
  if (m_pending.empty()) return false;
  value = PopPending();
  if (asFinding) {
    if (value > 42)
      value += 9;
    else if (value > 32)
      value += 3;
  }
  return true;
}
