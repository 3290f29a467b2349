// Breaking texts into lines and building list texts.
#include <xtbasis/textfields.h>

#include <algorithm>
#include <string>

namespace {

constexpr char kBlank = ' ';

// Every CR LF and LF CR pair becomes one blank, every other CR or LF a blank;
// then leading white space goes.
void Normalise(CString& text) {
  const std::string_view in = text.view();
  std::string out;
  out.reserve(in.size());
  for (size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c != '\r' && c != '\n') {
      out += c;
      continue;
    }
    const char pair = c == '\r' ? '\n' : '\r';
    if (i + 1 < in.size() && in[i + 1] == pair) ++i;
    out += kBlank;
  }
  text = CString(std::move(out));
  text.TrimLeft();
}

// line = text[0, lineEnd), text = text[rest, end).
void SplitAt(CString& text, CString& line, size_t lineEnd, size_t rest) {
  const std::string_view in = text.view();
  line = CString(std::string(in.substr(0, lineEnd)));
  text = rest < in.size() ? CString(std::string(in.substr(rest))) : CString();
}

void TakeAll(CString& text, CString& line) {
  line = text;
  text.Empty();
}

}  // namespace

void LineBreak(CString& text, int width, CString& line) {
  Normalise(text);
  if (width >= text.GetLength()) {
    TakeAll(text, line);
    return;
  }
  const size_t w = width < 0 ? 0 : static_cast<size_t>(width);
  const std::string_view in = text.view();
  size_t at = w;
  for (size_t p = w; p >= 1; --p) {
    if (in[p] == kBlank) {
      at = p;
      break;
    }
  }
  SplitAt(text, line, at, at);
}

void LineBreak2(CString& text, int width, CString& line, const CString& breakChars) {
  Normalise(text);
  const std::string_view breaks = breakChars.view();
  const std::string_view in = text.view();
  if (width >= text.GetLength()) {
    const size_t q = breaks.empty() ? std::string_view::npos : in.find(breaks);
    if (q == std::string_view::npos)
      TakeAll(text, line);
    else
      SplitAt(text, line, q, q + 1);
    return;
  }
  auto isBreak = [&breaks](char c) { return breaks.find(c) != std::string_view::npos; };
  const size_t w = width < 0 ? 0 : static_cast<size_t>(width);
  size_t p = w;
  if (isBreak(in[p]) && p > 0) --p;
  while (p > 0 && in[p] != kBlank && !isBreak(in[p])) --p;
  if (isBreak(in[p])) {
    SplitAt(text, line, p + 1, p + 1);
    return;
  }
  const size_t at = p == 0 ? w : p;
  SplitAt(text, line, at, at);
}

int Add(CString& text, CString separator, CString item, int maxLength) {
  const bool limited = maxLength != -1;
  if (item.IsEmpty() || (limited && text.GetLength() >= maxLength)) return text.GetLength();
  const std::string_view current = text.view();
  const bool endsWithCrLf = current.size() >= 2 && current.substr(current.size() - 2) == "\r\n";
  if (!text.IsEmpty() && !endsWithCrLf) text += separator;
  text += item;
  if (limited && text.GetLength() > maxLength) text.Truncate(maxLength);
  return text.GetLength();
}
