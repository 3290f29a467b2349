// Counts, region tests and selections that fee rules ask of a tooth set.
#include <xtbasis/teeth.h>

#include "tooth_regions.h"

using namespace xtb::teeth;

int CTeeth::CountInJaw(int jaw, uint64_t upper, uint64_t lower, const char* refusal) const {
  if (jaw == 0) return CountMarked(upper);
  if (jaw == 1) return CountMarked(lower);
  ClassError(refusal);
  return 0;
}

int CTeeth::CntOKTeeth() const { return CountMarked(kUpperJaw); }

int CTeeth::CntUKTeeth() const { return CountMarked(kLowerJaw); }

int CTeeth::CntFrontTeeth(int jaw) const {
  return CountInJaw(jaw, kUpperFront, kLowerFront, "CntFront: Jaw not OK/UK");
}

int CTeeth::CntFrontTeeth() const { return CountMarked(kUpperFront | kLowerFront); }

int CTeeth::CntSideTeeth() const { return CntTeeth() - CntFrontTeeth(0) - CntFrontTeeth(1); }

int CTeeth::CntVerblendTeeth() const { return CountMarked(kVeneer); }

int CTeeth::CntMilkTeeth() const { return CountMarked(kMilk); }

int CTeeth::CntTeethLeftHalf(int jaw) const {
  return CountInJaw(jaw, kUpperLeft, kLowerLeft, "CntLeftHalf: Jaw not OK/UK");
}

int CTeeth::CntTeethRightHalf(int jaw) const {
  return CountInJaw(jaw, kUpperRight, kLowerRight, "CntRightHalf: Jaw not OK/UK");
}

int CTeeth::CntRootTeeth(int code) const {
  switch (code) {
    case 2: return CountMarked(kOneRoot);
    case 3: return CountMarked(kTwoRoots);
    case 4: return CountMarked(kThreeRoots);
    default: return 0;
  }
}

int CTeeth::CntCanalTeeth(int code) const {
  switch (code) {
    case 4: return CountMarked(kThreeCanals);
    case 3: return CountMarked(kTwoCanals);
    default: return CountMarked(kOneRoot);
  }
}

int CTeeth::CntAllCanal() const {
  return CountMarked(kOneRoot) + 2 * CountMarked(kTwoCanals) + 3 * CountMarked(kThreeCanals);
}

int CTeeth::CntTeeth7() const { return CountMarked(kNoWisdom); }

int CTeeth::CntTeeth4() const { return CountMarked(kTeeth4To7); }

bool CTeeth::AnalyseHalf(int jaw, int n) const {
  return n == CntFrontTeeth(jaw) || n == CntTeethLeftHalf(jaw) || n == CntTeethRightHalf(jaw);
}

void CTeeth::CntFzKhJaw(int jaw, int count, int& sum) const {
  if (count == 0) return;
  if (count == 1 || AnalyseHalf(jaw, count))
    sum += 1;
  else
    sum += 2;
}

int CTeeth::CntFzKh() const {
  int sum = 0;
  CntFzKhJaw(0, CntOKTeeth(), sum);
  CntFzKhJaw(1, CntUKTeeth(), sum);
  return sum;
}

bool CTeeth::AreIP5Teeth() const { return CntTeeth() == CntTeeth4(); }

bool CTeeth::AreHalfFrontTeeth() const {
  const int ok = CntOKTeeth();
  const int uk = CntUKTeeth();
  if (uk == 0 && ok >= 1) return AnalyseHalf(0, ok);
  if (ok == 0 && uk >= 1) return AnalyseHalf(1, uk);
  return false;
}

void CTeeth::KillRoot1Teeth() { UnMarkRegion(kOneRoot); }

void CTeeth::KillRoot23Teeth() { UnMarkRegion(kTwoRoots | kThreeRoots); }

CString CTeeth::SelectFrontTeeth() {
  const Marks kept = m_marks;
  Clear();
  const uint64_t front = kUpperFront | kLowerFront;
  m_marks = Marks{kept.in & front, kept.fixed & front, kept.gap & front, kept.out & front};
  return NormalForm();
}

CString CTeeth::SelectSideTeeth(int mode) {
  uint64_t blank = 0;
  switch (mode) {
    case 0: blank = Span(6, 11) | Span(35, 40) | Span(17, 22) | Span(27, 32); break;
    case 1: blank = Span(22, 27) | Span(45, 50) | Span(1, 6) | Span(11, 16); break;
    case 5: blank = kUpperFront | kLowerFront; break;
    default: break;
  }
  BlankRegion(blank);
  return NormalForm();
}
