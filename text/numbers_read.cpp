// Reading numbers out of typed-in or record text.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <xtbasis/numbers.h>
#include <xtbasis/platform/winlong.h>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int SkipBlanks(std::string_view s, int pos) {
  while (pos < static_cast<int>(s.size()) && s[static_cast<size_t>(pos)] == ' ') ++pos;
  return pos;
}

// Removes the leading bytes that cannot start the run, then cuts the run of
// bytes accepted by inRun off the front of text and returns it.
template <typename InRun>
std::string CutRun(CString& text, InRun inRun) {
  const std::string& s = text.str();
  size_t first = 0;
  while (first < s.size() && !inRun(s[first])) ++first;
  size_t end = first;
  while (end < s.size() && inRun(s[end])) ++end;
  std::string run = s.substr(first, end - first);
  text = CString(s.substr(end));
  return run;
}

}  // namespace

int ctoi(const CString& text, int& pos) {
  const std::string_view s = text.view();
  if (pos < 0) pos = 0;
  pos = SkipBlanks(s, pos);
  const int start = pos;
  while (pos < static_cast<int>(s.size()) && IsDigit(s[static_cast<size_t>(pos)])) ++pos;
  const std::string digits(s.substr(static_cast<size_t>(start), static_cast<size_t>(pos - start)));
  return xtb::winlong::AToL(digits.c_str());
}

int GetNextInt(CString& text) {
  const std::string run = CutRun(text, [](char c) { return IsDigit(c) || c == '+' || c == '-'; });
  return xtb::winlong::AToL(run.c_str());
}

float GetNextPFloat(CString& text) {
  const std::string run = CutRun(text, [](char c) { return IsDigit(c) || c == '+' || c == '-' || c == '.'; });
  return static_cast<float>(std::atof(run.c_str()));
}

int xtoi(const CString& text, int base) { return xtb::winlong::StrToL(text, nullptr, base); }

unsigned int xtoui(const CString& text, int base) { return xtb::winlong::StrToUL(text, nullptr, base); }

int CardToInt(const char* text) {
  unsigned int v = 0;
  if (text == nullptr || std::sscanf(text, "%u", &v) != 1) return 0;
  return static_cast<int>(v);
}

__int64 CardToInt64(const char* text) {
  unsigned long long v = 0;
  if (text == nullptr || std::sscanf(text, "%llu", &v) != 1) return 0;
  return static_cast<__int64>(v);
}

double CardToDouble(const char* text) {
  double v = 0;
  if (text == nullptr || std::sscanf(text, "%lf", &v) != 1) return 0;
  return v;
}

bool NumStr(const CString& text, int minDigits, int maxDigits) {
  const std::string_view s = text.view();
  size_t n = 0;
  while (n < s.size() && IsDigit(s[n])) ++n;
  if (static_cast<int>(n) < minDigits || static_cast<int>(n) > maxDigits) return false;
  return s.find_first_not_of(' ', n) == std::string_view::npos;
}
