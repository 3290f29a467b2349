// Gaps in the permanent rows: spans, bridges and neighbouring teeth.
// A mark '1' here stands for a missing tooth, 'l' for a closed-up position
// that the scans step over.
#include "tooth_regions.h"
#include <xtbasis/teeth.h>

using namespace xtb::teeth;

namespace {

bool IsRowEnd(int p) { return p == 16 || p == 32; }

// Whether `v` lies in the permanent row of `p`; index 0 belongs to the upper row.
bool InRowOf(int p, int v) {
  if (p >= 1 && p <= 16) return v >= 0 && v <= 16;
  return v >= 17 && v <= 32;
}

}  // namespace

int CTeeth::CntSpans() const {
  int spans = 0;
  bool open = false;
  for (int p = 1; p <= kLastIndex; ++p) {
    if (IsGapClosure(p)) continue;
    if (IsMarkedIn(p)) {
      if (!open) ++spans;
      open = true;
    } else {
      open = false;
    }
    if (p == 16 || p == 32 || p == 42) open = false;
  }
  return spans;
}

bool CTeeth::IstEinzelBruecke(int p) const {
  const int gap = p - 1;
  const int last = (p >= 1 && p <= 16) ? 16 : 32;
  int next = p + 1;
  if (IsGapClosure(next)) ++next;
  if (p + 1 <= last && IsMarkedIn(next)) return false;
  int before = IsGapClosure(gap) ? p - 4 : p - 3;
  if (!InRowOf(p, before)) return true;
  if (IsGapClosure(before)) --before;
  return !IsMarkedIn(before);
}

void CTeeth::AddTeethOf(const CTeeth& other) { TryAddTeeth(other.NormalForm()); }

bool CTeeth::HasBridgeLen(int len, int& count) {
  count = 0;
  CTeeth run, found, chain;
  int runLen = 0, linked = 0, other = 0, closed = 0;
  bool inRun = false;
  // A stretch that held only linked single gaps yields its first bridge.
  auto closeChain = [&] {
    if (len == 1 && count == 0 && other == 0 && linked > 0) {
      ++closed;
      found.AddTeethOf(chain);
      return true;
    }
    return false;
  };
  for (int p = 1; p <= 32; ++p) {
    if (IsGapClosure(p)) continue;
    if (IsMarkedIn(p)) {
      if (!inRun) {
        inRun = true;
        if (p > 1) run.MarkTooth(p - 1);
      }
      run.MarkTooth(p);
      ++runLen;
    } else if (inRun) {
      inRun = false;
      if (runLen == len && len == 1 && !IstEinzelBruecke(p)) {
        ++linked;
        run.MarkTooth(p);
        if (linked == 1) chain.AddTeethOf(run);
      } else if (runLen == len) {
        ++count;
        run.MarkTooth(p);
        found.AddTeethOf(run);
      } else {
        ++other;
      }
      run.Clear();
      runLen = 0;
    } else {
      run.Clear();
      runLen = 0;
      closeChain();
      chain.Clear();
      closed += count;
      count = other = linked = 0;
    }
    if (IsRowEnd(p) && closeChain()) linked = 0;
  }
  count += closed;
  m_marks = found.m_marks;
  return count > 0;
}

int CTeeth::CntBridge25() {
  CTeeth gap, singles, lasts, last;
  int linkedCount = 0, chains = 0, own = 0, longRuns = 0, runLen = 0;
  bool seen = false, inRun = false;
  // A stretch of linked single gaps only counts as one chain.
  auto closeStretch = [&] {
    if (own == 0 && longRuns == 0 && seen) ++chains;
    own = longRuns = 0;
    seen = false;
  };
  for (int p = 1; p <= 32; ++p) {
    if (IsGapClosure(p)) continue;
    if (IsMarkedIn(p)) {
      inRun = true;
      gap.MarkTooth(p);
      ++runLen;
    } else if (inRun) {
      inRun = false;
      if (runLen == 1 && !IstEinzelBruecke(p)) {
        ++linkedCount;
        seen = true;
        singles.AddTeethOf(gap);
        last.Clear();
        last.MarkTooth(p - 1);
      } else if (runLen == 1) {
        ++own;
      } else {
        ++longRuns;
      }
      gap.Clear();
      runLen = 0;
    } else {
      gap.Clear();
      runLen = 0;
      lasts.AddTeethOf(last);
      closeStretch();
    }
    if (IsRowEnd(p)) {
      inRun = false;
      gap.Clear();
      runLen = 0;
      closeStretch();
    }
  }
  m_marks = chains != 0 ? lasts.m_marks : singles.m_marks;
  return linkedCount - chains;
}

bool CTeeth::HasKHNeighbours() const {
  for (const IndexRun& block : kBlocks) {
    const uint64_t bits = m_marks.in & Span(block.first, block.last);
    if (bits & (bits >> 1)) return true;
  }
  return false;
}

void CTeeth::KillNeighbours(int start, int len) {
  const int end = start + len - 1;
  for (int p = start; p <= end; ++p) {
    const bool fixed = GetMark(p) == '2';
    if (!fixed && !IsMarkedIn(p)) continue;
    for (int n : {p - 1, p + 1}) {
      if (n < start || n > end) continue;
      if (fixed || IsMarkedIn(n)) SetMarkOut(n);
    }
  }
}

void CTeeth::KillKHNeighbours(CString teeth) {
  FixCurrentTeeth();
  TryDoAddTeeth(teeth);
  for (const IndexRun& block : kBlocks) KillNeighbours(block.first, block.last - block.first + 1);
  KillFixTeeth();
}

bool CTeeth::HasAnNeighbours(CString& teeth) {
  if (!TryAnalyseTeeth(teeth) || m_pending.empty()) return false;
  while (!m_pending.empty()) {
    const int i = PopPending();
    const bool blockEnd = i == 8 || i == 16 || i == 24 || i == 32;
    const bool blockStart = i == 1 || i == 9 || i == 17 || i == 25;
    if (!blockEnd && IsMarkedIn(i + 1)) return true;
    if (!blockStart && IsMarkedIn(i - 1)) return true;
  }
  return false;
}
