// COleDateTime::ParseDateTime: the German date and time forms the suite's
// programs read ("24.12.2026 18:30"), and ISO dates.
#include <xtbasis/platform/timeclasses.h>

#include <optional>

namespace {

struct Parts {
  int year = 1899, month = 12, day = 30;  // a time alone lies on the day 0
  int hour = 0, minute = 0, second = 0;
};

class Reader {
 public:
  explicit Reader(const char* text) : m_p(text) {}

  // One to `most` digits; nothing when there is no digit.
  std::optional<int> Number(int most, int* digits = nullptr) {
    int value = 0, count = 0;
    while (count < most && *m_p >= '0' && *m_p <= '9') {
      value = value * 10 + (*m_p++ - '0');
      ++count;
    }
    if (digits) *digits = count;
    if (count == 0) return std::nullopt;
    return value;
  }
  bool Take(char ch) {
    if (*m_p != ch) return false;
    ++m_p;
    return true;
  }
  bool SkipBlanks() {
    const char* start = m_p;
    while (*m_p == ' ' || *m_p == '\t') ++m_p;
    return m_p != start;
  }
  bool AtEnd() const { return *m_p == '\0'; }
  char Peek(int ahead = 0) const {
    for (int i = 0; i < ahead; ++i)
      if (!m_p[i]) return '\0';
    return m_p[ahead];
  }

 private:
  const char* m_p;
};

// Two-digit years as the system's default window reads them.
int FullYear(int year, int digits) {
  if (digits > 2) return year;
  return year < 30 ? 2000 + year : 1900 + year;
}

// "24.12.2026", "24.12.26" or "2026-12-24".
bool ReadDate(Reader& in, Parts& parts) {
  int digits = 0;
  const std::optional<int> first = in.Number(4, &digits);
  if (!first) return false;
  if (digits == 4 && in.Take('-')) {
    const std::optional<int> month = in.Number(2);
    if (!month || !in.Take('-')) return false;
    const std::optional<int> day = in.Number(2);
    if (!day) return false;
    parts.year = *first, parts.month = *month, parts.day = *day;
  } else {
    if (digits > 2 || !in.Take('.')) return false;
    const std::optional<int> month = in.Number(2);
    if (!month || !in.Take('.')) return false;
    const std::optional<int> year = in.Number(4, &digits);
    if (!year || digits == 3) return false;
    parts.day = *first, parts.month = *month, parts.year = FullYear(*year, digits);
  }
  return true;
}

// "18:30" or "18:30:15".
bool ReadTime(Reader& in, Parts& parts) {
  const std::optional<int> hour = in.Number(2);
  if (!hour || !in.Take(':')) return false;
  const std::optional<int> minute = in.Number(2);
  if (!minute) return false;
  parts.hour = *hour, parts.minute = *minute;
  if (in.Take(':')) {
    const std::optional<int> second = in.Number(2);
    if (!second) return false;
    parts.second = *second;
  }
  return true;
}

// Whether the text at `in` begins with a time ("18:", "8:") rather than a date.
bool TimeComesFirst(const Reader& in) { return in.Peek(1) == ':' || in.Peek(2) == ':'; }

bool ReadText(const char* text, Parts& parts) {
  Reader in(text);
  in.SkipBlanks();
  if (TimeComesFirst(in)) {
    if (!ReadTime(in, parts)) return false;
  } else {
    if (!ReadDate(in, parts)) return false;
    if (in.SkipBlanks() && !in.AtEnd() && !ReadTime(in, parts)) return false;
  }
  in.SkipBlanks();
  return in.AtEnd();
}

}  // namespace

BOOL COleDateTime::ParseDateTime(const char* text, DWORD flags, LCID /*locale: the forms are fixed*/) {
  Parts parts;
  const bool bothParts = (flags & VAR_DATEVALUEONLY) && (flags & VAR_TIMEVALUEONLY);
  if (text == nullptr || bothParts || !ReadText(text, parts)) {
    m_dt = 0;
    m_status = invalid;
    return FALSE;
  }
  if (flags & VAR_DATEVALUEONLY) parts.hour = parts.minute = parts.second = 0;
  if (flags & VAR_TIMEVALUEONLY) parts.year = 1899, parts.month = 12, parts.day = 30;
  if (SetDateTime(parts.year, parts.month, parts.day, parts.hour, parts.minute, parts.second) != valid) {
    m_dt = 0;
    return FALSE;
  }
  return TRUE;
}
