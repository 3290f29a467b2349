// CXTDate::FromISO8601 on arbitrary text: it may refuse with CAtlException,
// nothing else; a time it accepts formats or refuses the same way.
#include <cstddef>
#include <cstdint>

#include <xtbasis/xtdate.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
  CXTDate date;
  try {
    date.FromISO8601(text);
  } catch (const CAtlException&) {
    return 0;
  }
  try {
    const CString iso = date.ToISO8601(true);
    (void)date.YYYYMMDDHHMMSS();
    (void)(date + 1);
    if (!iso.IsEmpty()) {
      CXTDate again;
      again.FromISO8601(iso);
      if (again.GetTime() != date.GetTime()) __builtin_trap();  // a printed UTC stamp reads back
    }
  } catch (const CAtlException&) {
  }
  return 0;
}
