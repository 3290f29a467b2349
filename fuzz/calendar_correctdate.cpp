// DoCorrectDate with every flag combination (the first byte) and CorrectTime:
// every text becomes a valid DB date or time, and a corrected value stays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include <xtbasis/dateforms.h>
#include <xtbasis/datecorrection.h>

namespace {

bool Digits(const CString& s) {
  for (const char c : s.view())
    if (c < '0' || c > '9') return false;
  return true;
}

int Number(const CString& s, int first, int count) { return atoi(s.Mid(first, count)); }

void CheckDate(const CString& d, int flags) {
  if (d.GetLength() != 8 || !Digits(d)) __builtin_trap();
  const bool reserved = d == "19800101" || d == "99991231" || d == "00000000" || d == "99999999";
  if (reserved && !(flags & XTDATE_BIRTH)) return;  // kept as typed
  const int month = Number(d, 4, 2), day = Number(d, 6, 2);
  const bool open = flags & XTDATE_OPEN;
  if (month > 12 || (!open && month < 1)) __builtin_trap();
  if (day > LastDayI(month, Number(d, 0, 4)) || (!open && day < 1)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const int flags = data[0] & 7;
  const CString typed(reinterpret_cast<const char*>(data + 1), static_cast<int>(size - 1));

  CString d = typed;
  const bool unchanged = DoCorrectDate(d, flags);
  if (unchanged != (d == typed)) __builtin_trap();
  if (!d.IsEmpty()) CheckDate(d, flags);
  CString again = d;
  if (!DoCorrectDate(again, flags) || again != d) __builtin_trap();

  CString t = typed;
  CorrectTime(t);
  if (!t.IsEmpty() && (t.GetLength() != 4 || !Digits(t) || Number(t, 0, 2) > 23 || Number(t, 2, 2) > 59))
    __builtin_trap();
  CString timeAgain = t;
  if (!CorrectTime(timeAgain)) __builtin_trap();
  return 0;
}
