// CTeeth: a set of teeth in FDI notation.
//
// Each tooth position has an index from 1 to 60 in dental-chart order
// (18..11, 21..28, 48..41, 31..38, 55..51, 61..65, 85..81, 71..75, then the
// ninth positions 19, 29, 49, 39, 59, 69, 89, 79). Every position holds one
// mark: ' ' untouched, '0' not in the set, '1' in the set, '2' in the set
// and fixed, 'l' gap closure. The marks live in bit masks, one bit per index,
// so counts and region tests are a mask and a population count.
//
// Notation read by the Try* operations: comma/space separated FDI numbers
// and ranges ("18-28", "11, 12", "13-43" round the arch) and the jaw words
// OK, UK, OKM, UKM in any case. Parsed indexes go to a pending list (a stack)
// that the operations then drain; a failed parse leaves what it had parsed.
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "platform/api.h"
#include "platform/cstring.h"

class XTBASIS_API CTeeth {
 public:
  CTeeth();
  CTeeth(const CTeeth&) = default;
  CTeeth& operator=(const CTeeth&) = default;
  virtual ~CTeeth();

  // --- Tooth numbers and indexes (no object state is read) ---------------
  static bool IsValidFDITooth(int fdi, bool withNinth);
  // The index of a valid FDI number (ninth positions included); any other
  // number shows "0-961: ToothIndex out of Range" and gives 1.
  static int CalcToothIndex(int fdi);
  static int CalcToothNr(int index);  // 11 for anything outside 1..60
  static int TNr2Db(int index);
  static int Tooth2BefundIndex(int index);
  static int BefundIndex2ToothFDI(int cell);
  static int BefundIndex2ToothFDI2(int cell0);
  static int Milk2PermanentBefundIndex(int index);
  static int Permanent2MilkToothIndex(int index);
  static void ConvertToothIndex(int index, CString& out);

  // --- State ---------------------------------------------------------------
  void Clear();
  void MarkTooth(int index) {
    if (!IsTooth(index) || IsMarkedTooth(index)) return;
    m_marks.gap &= ~(uint64_t{1} << index);
    m_marks.out &= ~(uint64_t{1} << index);
    m_marks.in |= uint64_t{1} << index;
    ++m_nCounter;
  }
  void UnMarkTooth(int index);
  void ClearOkTeeth();
  void ClearUkTeeth();
  int CntTeeth() const;
  // The mark of one position (' ' outside 0..60) and all 61 marks as text.
  char GetMark(int index) const;
  CString GetMarks() const;
  // Raised by each new mark, lowered by each unmark, set by TryPush.
  int GetCounter() const { return m_nCounter; }

  // --- Notation --------------------------------------------------------------
  bool TryAddTeeth(CString notation);
  bool TryDoAddTeeth(CString notation);
  bool TryDoAddGapClosure(CString notation);
  bool TrySubTeeth(CString notation);
  bool ContainsTeeth(CString notation);
  bool TryPush(CString notation);
  bool TryPop(int& value, bool asFinding);

  // --- Output forms ------------------------------------------------------------
  void GetNormalizedTeeth(CString& out, bool expandJaws) const;
  void GetVDDSTeeth(CString& out) const;
  CString GetPermQuadrantTeeth(int quadrant) const;
  void SetHexTeeth(CString hex);
  CString Db2Teeth(CString hex);
  CString Teeth2Db(CString notation);
  void ToSet(std::set<char>& out) const;
  void ToVector(std::vector<int>& out) const;

  // --- Counts, tests and selections ----------------------------------------------
  int CntOKTeeth() const;
  int CntUKTeeth() const;
  int CntFrontTeeth(int jaw) const;  // jaw 0 upper, 1 lower
  int CntFrontTeeth() const;
  int CntSideTeeth() const;
  int CntVerblendTeeth() const;
  int CntMilkTeeth() const;
  int CntTeethLeftHalf(int jaw) const;
  int CntTeethRightHalf(int jaw) const;
  int CntRootTeeth(int code) const;   // 2, 3, 4: one, two, three roots
  int CntCanalTeeth(int code) const;  // 4, 3: three, two canals; else one root
  int CntAllCanal() const;
  int CntTeeth7() const;
  int CntTeeth4() const;
  int CntFzKh() const;
  bool AreIP5Teeth() const;
  bool AreHalfFrontTeeth() const;
  void KillRoot1Teeth();
  void KillRoot23Teeth();
  CString SelectFrontTeeth();
  CString SelectSideTeeth(int mode);

  // --- Bridges, spans and neighbours ------------------------------------------------
  int CntSpans() const;
  bool HasBridgeLen(int len, int& count);
  int CntBridge25();
  bool HasKHNeighbours() const;
  void KillKHNeighbours(CString teeth);
  bool HasAnNeighbours(CString& teeth);

 protected:
  void GetHexTeeth(CString& out) const;

 private:
  // One bit per index 0..60 for each mark other than ' '; at most one of
  // the four masks has a given bit.
  struct Marks {
    uint64_t in = 0;     // '1'
    uint64_t fixed = 0;  // '2'
    uint64_t gap = 0;    // 'l'
    uint64_t out = 0;    // '0'
  };

  static bool IsInRange(int fdi);
  static bool IsUpperJaw(int first, int last);
  static bool IsLowerJaw(int first, int last);
  static void ClassError(CString text);

  static bool IsTooth(int index) { return index >= 1 && index <= 60; }
  bool IsMarkedTooth(int index) const { return IsTooth(index) && ((MarkedBits() >> index) & 1); }
  bool IsMarkedIn(int index) const { return IsTooth(index) && ((m_marks.in >> index) & 1); }  // '1'
  bool IsGapClosure(int index) const { return IsTooth(index) && ((m_marks.gap >> index) & 1); }  // 'l'
  void MarkGapClosure(int index);
  void SetMarkOut(int index);         // '0' without touching the counter
  void BlankRegion(uint64_t region);  // marks ' '
  void FixCurrentTeeth();
  void KillFixTeeth();
  uint64_t MarkedBits() const { return m_marks.in | m_marks.fixed; }
  int CountMarked(uint64_t region) const;
  void UnMarkRegion(uint64_t region);

  // Parser: appends indexes to the pending list.
  bool TryAnalyseTeeth(const CString& notation);
  bool TryAddTeethRange(int a, int b);
  bool TryDoAddTeethRange(int a, int b);
  void AddToothNr(int fdi);
  void AddIndexRange(int a, int b);
  int PopPending();

  void FormatTeeth(int first, int last, CString& out) const;
  void OutTeethStr(int first, int last, CString& out) const;
  CString NormalForm() const;

  bool AnalyseHalf(int jaw, int n) const;
  void CntFzKhJaw(int jaw, int count, int& sum) const;

  bool IstEinzelBruecke(int p) const;
  void KillNeighbours(int start, int len);
  void AddTeethOf(const CTeeth& other);

  bool m_bPair;
  std::vector<int> m_pending;
  Marks m_marks;
  int m_nCounter;
};
