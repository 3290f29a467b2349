// Conversions between FDI numbers, tooth indexes, DB tooth numbers and
// finding-chart cells, and the class's error signals.
#include <xtbasis/platform/beep.h>
#include <xtbasis/platform/presenter.h>
#include <xtbasis/platform/session.h>
#include <xtbasis/teeth.h>

#include "tooth_regions.h"

using namespace xtb::teeth;

bool CTeeth::IsValidFDITooth(int fdi, bool withNinth) {
  if (fdi < 0 || fdi > 99 || kIndexOfFdi.index[fdi] == 0) return false;
  return withNinth || fdi % 10 != 9;
}

bool CTeeth::IsInRange(int fdi) { return IsValidFDITooth(fdi, true); }

int CTeeth::CalcToothIndex(int fdi) {
  if (!IsInRange(fdi)) {
    AfxMessageBox("0-961: ToothIndex out of Range", MB_OK);
    return 1;
  }
  return kIndexOfFdi.index[fdi];
}

int CTeeth::CalcToothNr(int index) { return index >= 1 && index <= kLastIndex ? kFdiOfIndex[index] : 11; }

int CTeeth::TNr2Db(int index) {
  if (index >= 53 && index <= 60) return index + 12;
  return Tooth2BefundIndex(index);
}

int CTeeth::Tooth2BefundIndex(int index) {
  if (index >= 33 && index <= 42) return index + 3;
  if (index >= 43 && index <= 52) return index + 9;
  return index;
}

int CTeeth::BefundIndex2ToothFDI(int cell) {
  if (cell >= 36 && cell <= 45) return CalcToothNr(cell - 3);
  if (cell >= 52 && cell <= 61) return CalcToothNr(cell - 9);
  return CalcToothNr(cell);
}

int CTeeth::BefundIndex2ToothFDI2(int cell0) { return BefundIndex2ToothFDI(cell0 + 1); }

int CTeeth::Milk2PermanentBefundIndex(int index) {
  if (index < 33) return index;
  if (index <= 42) return index - 29;
  if (index <= 52) return index - 23;
  return index - 32;
}

int CTeeth::Permanent2MilkToothIndex(int index) {
  if (index >= 4 && index <= 13) return index + 29;
  if (index >= 20 && index <= 29) return index + 23;
  return index;
}

void CTeeth::ConvertToothIndex(int index, CString& out) { out.AppendFormat("%i", CalcToothNr(index)); }

bool CTeeth::IsUpperJaw(int first, int last) { return first == 1 && last == 16; }

bool CTeeth::IsLowerJaw(int first, int last) { return first == 17 && last == 32; }

// Audible only: the text names the failing rule for a reader of the code.
void CTeeth::ClassError(CString text) {
  (void)text;
  if (xtb::IsRemoteSession())
    Beep(440, 150);
  else
    MessageBeep(0xFFFFFFFF);
}
