// Padding, alignment, cutting and reading of fixed-width text fields.
#include <xtbasis/textfields.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr char kBlank = ' ';

bool IsWhite(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

std::string TrimWhite(std::string_view text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsWhite(text[first])) ++first;
  while (last > first && IsWhite(text[last - 1])) --last;
  return std::string(text.substr(first, last - first));
}

size_t Width(int width) { return width < 0 ? 0 : static_cast<size_t>(width); }

}  // namespace

CString LeftFix(const CString& text, int width, char fill) {
  const size_t w = Width(width);
  std::string out(text.view().substr(0, w));
  out.resize(w, fill);
  return CString(std::move(out));
}

CString RightFix(const CString& text, int width, char fill) {
  const size_t w = Width(width);
  const std::string_view in = text.view();
  if (in.size() >= w) return CString(std::string(in.substr(in.size() - w)));
  std::string out(w - in.size(), fill);
  out += in;
  return CString(std::move(out));
}

CString CentFix(const CString& text, int width, char fill) {
  const size_t w = Width(width);
  const std::string_view in = text.view();
  if (in.size() >= w) return CString(std::string(in.substr(0, w)));
  const size_t d = w - in.size();
  std::string out(d / 2, fill);
  out += in;
  out.append(d - d / 2, fill);
  return CString(std::move(out));
}

CString FillTail(const CString& text, int width, char fill) { return LeftFix(text, width, fill); }

CString DecimalFix(const CString& text, int intWidth, int fracWidth, const CString& separator) {
  const std::string_view in = text.view();
  const size_t p = separator.IsEmpty() ? std::string_view::npos : in.find(separator.view());
  if (p == std::string_view::npos) {
    CString out = RightFix(text, intWidth, kBlank);
    AppendBlanks(out, separator.GetLength() + fracWidth);
    return out;
  }
  const CString integral(std::string(in.substr(0, p)));
  const CString fraction(std::string(in.substr(p + separator.view().size())));
  return RightFix(integral, intWidth, kBlank) + separator + LeftFix(fraction, fracWidth, kBlank);
}

CString GetMidStr(const CString& text, int start, int count) {
  const std::string_view in = text.view();
  if (start < 0 || static_cast<size_t>(start) >= in.size()) return CString();
  const size_t n = count < 0 ? std::string_view::npos : static_cast<size_t>(count);
  return CString(std::string(in.substr(static_cast<size_t>(start), n)));
}

CString TrimLeft(const CString& text) {
  CString out = text;
  out.TrimLeft();
  return out;
}

CString TrimRight(const CString& text) {
  CString out = text;
  out.TrimRight();
  return out;
}

CString OptimSpaces(const CString& text) {
  const std::string trimmed = TrimWhite(text.view());
  std::string out;
  out.reserve(trimmed.size());
  for (char c : trimmed) {
    if (c == kBlank && !out.empty() && out.back() == kBlank) continue;
    out += c;
  }
  return CString(std::move(out));
}

void GetChars(const CString& text, CString& out, int& pos, int count, int trimRight) {
  const std::string_view in = text.view();
  if (pos < 0 || count <= 0 || static_cast<size_t>(pos) >= in.size()) {
    out.Empty();
    return;
  }
  const std::string_view taken = in.substr(static_cast<size_t>(pos), static_cast<size_t>(count));
  pos += static_cast<int>(taken.size());
  out = CString(std::string(taken));
  if (trimRight) out.TrimRight();
}

void CopySubStr(const CString& text, CString& out, int pos, int right) {
  const std::string_view in = text.view();
  if (right == 0) {
    out = CString(std::string(in.substr(0, Width(pos))));
    return;
  }
  const long behind = static_cast<long>(pos) + 2;
  if (behind < 0 || static_cast<size_t>(behind) >= in.size()) {
    out.Empty();
    return;
  }
  out = CString(std::string(in.substr(static_cast<size_t>(behind))));
}

bool SkipBlanks(const CString& text, int& pos, char& c) {
  const int length = text.GetLength();
  if (pos < 0) pos = 0;
  while (pos < length && text[pos] == kBlank) ++pos;
  if (pos >= length) return false;
  c = text[pos];
  return true;
}

short ScanString(const CString& text, const CString& pattern) {
  const std::string_view in = text.view();
  const std::string_view what = pattern.view();
  if (what.empty()) return 0;
  short found = 0;
  for (size_t p = in.find(what); p != std::string_view::npos; p = in.find(what, p + 1)) ++found;
  return found;
}

bool IsNumeric(const char* text) {
  if (text == nullptr) return true;
  for (; *text != '\0'; ++text)
    if (*text < '0' || *text > '9') return false;
  return true;
}

bool Blank(const char* text) { return BlankC(text, kBlank); }

bool BlankC(const char* text, char c) {
  if (text == nullptr) return true;
  for (; *text != '\0'; ++text)
    if (*text != c) return false;
  return true;
}

bool Treq(CString a, CString b) { return TrimWhite(a.view()) == TrimWhite(b.view()); }
