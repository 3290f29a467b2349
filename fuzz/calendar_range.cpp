// The from/to range readers on arbitrary text: on success both outputs are
// display dates DD.MM.YYYY; on failure they are not touched.
#include <cstddef>
#include <cstdint>

#include <xtbasis/quarters.h>

namespace {

bool DisplayDate(const CString& d) {
  if (d.GetLength() != 10) return false;
  for (int i = 0; i < 10; ++i) {
    const bool dot = i == 2 || i == 5;
    if (dot ? d[i] != '.' : d[i] < '0' || d[i] > '9') return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
  CString von = "x", bis = "x";
  if (VonBisDatumOk(text, von, bis)) {
    if (!DisplayDate(von) || !DisplayDate(bis)) __builtin_trap();
  } else if (von != "x" || bis != "x") {
    __builtin_trap();
  }
  CString one = "x";
  if (VonDatumOk(text, one) ? !DisplayDate(one) : one != "x") __builtin_trap();
  one = "x";
  if (BisDatumOk(text, one) ? !DisplayDate(one) : one != "x") __builtin_trap();
  return 0;
}
