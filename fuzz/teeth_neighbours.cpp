// HasAnNeighbours and the other bridge and neighbour scans on arbitrary
// bytes: the first byte's bits choose gaps, closures and a set to compare
// against, the rest is the tooth list.
#include <cstddef>
#include <cstdint>

#include <xtbasis/teeth.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  CTeeth teeth;
  for (int index = 1; index <= 60; ++index) {
    const int bit = (data[index / 8] >> (index % 8)) & 1;
    if (bit) teeth.MarkTooth(index);
  }
  CString closures;
  CTeeth::ConvertToothIndex(1 + data[7] % 60, closures);
  teeth.TryDoAddGapClosure(closures);

  CString list(reinterpret_cast<const char*>(data + 8), static_cast<int>(size - 8));
  CTeeth copy = teeth;
  copy.HasAnNeighbours(list);
  copy.HasKHNeighbours();
  copy.CntSpans();
  copy.KillKHNeighbours(list);
  for (int len = 0; len <= 3; ++len) {
    CTeeth scan = teeth;
    int count = 0;
    scan.HasBridgeLen(len, count);
  }
  CTeeth chains = teeth;
  chains.CntBridge25();
  return 0;
}
