// Every notation operation of CTeeth on arbitrary bytes. A notation that
// parses must print a normal form that parses back to the same teeth.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <xtbasis/teeth.h>

namespace {

CString MarkedOnly(const CTeeth& teeth) {
  CString marks = teeth.GetMarks();
  for (int i = 0; i < marks.GetLength(); ++i)
    if (marks[i] != '1' && marks[i] != '2') marks.SetAt(i, '.');
  return marks;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString notation(reinterpret_cast<const char*>(data), static_cast<int>(size));

  CTeeth teeth;
  if (teeth.TryDoAddTeeth(notation)) {
    CString normal, expanded, vdds;
    teeth.GetNormalizedTeeth(normal, false);
    teeth.GetNormalizedTeeth(expanded, true);
    teeth.GetVDDSTeeth(vdds);
    CTeeth again;
    Check(again.TryAddTeeth(normal));
    Check(MarkedOnly(again) == MarkedOnly(teeth));
    CTeeth fromExpanded;
    Check(fromExpanded.TryAddTeeth(expanded));
    Check(MarkedOnly(fromExpanded) == MarkedOnly(teeth));
    for (int q = 0; q <= 5; ++q) teeth.GetPermQuadrantTeeth(q);
  }
  int value = 0;
  while (teeth.TryPop(value, true)) Check(value >= 1 && value <= 69);

  CTeeth other;
  other.TryAddTeeth(notation);
  other.TrySubTeeth(notation);
  other.ContainsTeeth(notation);
  other.TryDoAddGapClosure(notation);
  other.TryPush(notation);
  Check(other.CntTeeth() >= 0);
  other.Teeth2Db(notation);
  Check(other.GetMarks() == CString(' ', 61));
  return 0;
}
