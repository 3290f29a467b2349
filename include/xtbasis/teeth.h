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
// OK, UK, OKM, UKM in any case (OK/UK: upper/lower jaw, Ober-/Unterkiefer;
// M: the milk teeth). Parsed indexes go to a pending list (a stack) that the
// operations then drain; a failed parse leaves what it had parsed there, and
// the next operation that drains the list applies those entries as if they
// were part of its own notation. Comments below name every operation that
// changes the set or the pending list beyond what its name says: callers
// ported from the original code rely on these effects.
//
// Names keep the German terms of the fee schedules: Befund finding, Bruecke
// bridge, Verblend veneer, Fz front teeth (Frontzahnbereich), Kh jaw half
// (Kieferhaelfte, one quadrant of a jaw).
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include <xtbasis/platform/api.h>
#include <xtbasis/platform/cstring.h>

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
  // Each of these parses `notation` onto the pending list, then drains the
  // whole list (entries left there before included). A failed parse marks
  // nothing and leaves what it had parsed pending.
  //
  // Marks the listed teeth. Returns false, and stops at once, at a tooth
  // that is already marked: the teeth marked before it stay marked, the
  // entries not yet taken stay pending.
  bool TryAddTeeth(CString notation);
  // Marks the listed teeth that are not marked yet.
  bool TryDoAddTeeth(CString notation);
  // Marks the listed unmarked positions as gap closures ('l').
  bool TryDoAddGapClosure(CString notation);
  // Removes the listed teeth from the set.
  bool TrySubTeeth(CString notation);
  // Despite its name, removes the listed teeth from the set; true when that
  // changed CntTeeth().
  bool ContainsTeeth(CString notation);
  // Only parses: the indexes stay pending, the counter becomes the length of
  // the pending list.
  bool TryPush(CString notation);
  // Takes the last pending entry (as finding index when asked); false when
  // the list is empty.
  bool TryPop(int& value, bool asFinding);

  // --- Output forms ------------------------------------------------------------
  void GetNormalizedTeeth(CString& out, bool expandJaws) const;
  void GetVDDSTeeth(CString& out) const;
  CString GetPermQuadrantTeeth(int quadrant) const;
  // Replaces the marks from the database form; counter and pending list stay.
  void SetHexTeeth(CString hex);
  // The normal form of a database form. Leaves the object empty (marks,
  // counter and pending list cleared) whatever it held before.
  CString Db2Teeth(CString hex);
  // The database form of the object's teeth together with `notation` (added
  // by TryAddTeeth, its result ignored). Leaves the object empty.
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
  // The codes are the number of roots plus one: 2 counts the teeth with one
  // root, 3 those with two, 4 those with three; any other code gives 0.
  int CntRootTeeth(int code) const;
  // By the same codes: 4 the teeth with three root canals, 3 those with two;
  // any other code the teeth with one root (and so one canal).
  int CntCanalTeeth(int code) const;
  int CntAllCanal() const;  // root canals in all: 1, 2 or 3 per tooth
  int CntTeeth7() const;    // permanent teeth without the wisdom teeth (x1-x7)
  int CntTeeth4() const;    // teeth 4 to 7 of the permanent quadrants
  // Areas (Fz front region, Kh jaw half), 0 to 4: each jaw adds 0 without
  // teeth, 1 when it has one tooth or all its teeth lie in its front region
  // or in one of its halves, else 2.
  int CntFzKh() const;
  // True when every tooth of the set is one of the teeth 4 to 7 (14-17,
  // 24-27, 34-37, 44-47), the teeth of the fee rule IP5; also for an empty set.
  bool AreIP5Teeth() const;
  bool AreHalfFrontTeeth() const;
  void KillRoot1Teeth();
  void KillRoot23Teeth();
  // Reduces the set to its front teeth (clearing the pending list) and
  // returns its normal form.
  CString SelectFrontTeeth();
  // Blanks the positions of `mode` (0, 1 or 5; other modes none) and returns
  // the normal form of what is left.
  CString SelectSideTeeth(int mode);

  // --- Bridges, spans and neighbours ------------------------------------------------
  // The marks '1' are gaps here (missing teeth); a bridge is a run of gaps
  // with the position on each side. Gap closures ('l') are skipped.
  int CntSpans() const;
  // Counts the bridges with `len` gaps into `count`. Replaces the marks: the
  // object afterwards holds the teeth of those bridges (abutments included),
  // or nothing when there are none.
  bool HasBridgeLen(int len, int& count);
  // The single gaps that share an abutment with another single gap (linked
  // single gaps), less one for every stretch that holds nothing else.
  // Replaces the marks: with the last linked single gap of each stretch when
  // some stretch is such a chain, else with all linked single gaps.
  int CntBridge25();
  // True when two teeth marked '1' stand next to each other within one
  // quadrant (Kh): 11 and 12 are neighbours, 11 and 21 are not.
  bool HasKHNeighbours() const;
  // Adds `teeth` but drops every new tooth that stands next to a former
  // tooth or to a kept new one; the former teeth leave the set.
  void KillKHNeighbours(CString teeth);
  // True when a tooth of `teeth` has a neighbour marked '1' in the set.
  // Takes the parsed entries from the pending list one by one; on true the
  // entries not yet looked at stay pending. `teeth` is not changed.
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
  // The count of `upper` for jaw 0 and of `lower` for jaw 1; any other jaw
  // is refused through ClassError(refusal) and counts 0.
  int CountInJaw(int jaw, uint64_t upper, uint64_t lower, const char* refusal) const;
  void UnMarkRegion(uint64_t region);

  // Parser: appends indexes to the pending list.
  bool TryAnalyseTeeth(const CString& notation);
  bool TryAddTeethRange(int a, int b);
  bool TryDoAddTeethRange(int a, int b);
  void AddToothNr(int fdi);
  void AddIndexRange(int a, int b);
  int PopPending();
  // Marks every pending index at once when none is marked yet and none is
  // pending twice, emptying the list; false (nothing changed) otherwise.
  bool TryMarkAllPending();

  // The normal form's pieces of the marked teeth in `region` (one bit per
  // index), written at `at` of the text that begins at `start`; the new end.
  char* FormatTeeth(uint64_t region, char* start, char* at) const;
  char* OutTeethStr(int first, int last, char* start, char* at) const;
  // The normal form into `out`, replacing what it held.
  void WriteNormalForm(CString& out) const;
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
