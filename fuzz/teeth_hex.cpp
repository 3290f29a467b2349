// SetHexTeeth on arbitrary bytes: every position becomes '0' or '1', and the
// written database form reads back to the same marks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <xtbasis/teeth.h>

namespace {
class HexTeeth : public CTeeth {
 public:
  CString Hex() const {
    CString hex;
    GetHexTeeth(hex);
    return hex;
  }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString hex(reinterpret_cast<const char*>(data), static_cast<int>(size));
  HexTeeth teeth;
  teeth.SetHexTeeth(hex);
  const CString marks = teeth.GetMarks();
  if (marks.GetLength() != 61 || marks[0] != ' ') std::abort();
  for (int i = 1; i < 61; ++i)
    if (marks[i] != '0' && marks[i] != '1') std::abort();
  HexTeeth again;
  again.SetHexTeeth(teeth.Hex());
  if (again.GetMarks() != marks) std::abort();
  CString normal = teeth.Db2Teeth(hex);
  (void)normal;
  return 0;
}
