// In-place editing of texts: blanks, overwriting, replacing, placeholders.
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/textfields.h>

#include <algorithm>
#include <string>

namespace {

constexpr char kBlank = ' ';

std::string LowerCase1252(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = xtb::cp1252::ToLower(c);
  return out;
}

}  // namespace

void AppendBlanks(CString& text, int count) {
  if (count < 1) return;
  std::string s = text.str();
  s.append(static_cast<size_t>(count), kBlank);
  text = CString(std::move(s));
}

void AddBlanks(CString& text, unsigned short width) { AppendBlanks(text, width - text.GetLength()); }

void TrailZeroes(CString& text, unsigned short count) {
  std::string s = text.str();
  const size_t from = s.size() > count ? s.size() - count : 0;
  std::replace(s.begin() + static_cast<std::ptrdiff_t>(from), s.end(), kBlank, '0');
  text = CString(std::move(s));
}

void InsertBlanks(CString& text, int pos, int count) {
  if (count < 1) return;
  std::string s = text.str();
  const size_t at = std::min(static_cast<size_t>(std::max(pos - 1, 0)), s.size());
  s.insert(at, static_cast<size_t>(count), kBlank);
  text = CString(std::move(s));
}

void DeleteLeft(CString& text, int pos) {
  const long behind = static_cast<long>(pos) + 1;
  if (behind < 0 || behind >= text.GetLength()) {
    text.Empty();
    return;
  }
  text = CString(text.str().substr(static_cast<size_t>(behind)));
}

void PutMidStr(CString& text, int pos, const CString& part, char fill) {
  if (pos < 0) return;
  std::string s = text.str();
  const size_t at = static_cast<size_t>(pos);
  const size_t end = at + part.view().size();
  if (fill != '\0' && s.size() < end) s.resize(end, fill);
  if (at >= s.size()) return;
  const size_t n = std::min(end, s.size()) - at;
  s.replace(at, n, part.view().substr(0, n));
  text = CString(std::move(s));
}

void ReplaceCharWith(CString& text, char from, char to, int all) {
  if (all != 0) {
    ReplaceAll(text, from, to);
    return;
  }
  std::string s = text.str();
  const size_t p = s.find(from);
  if (p == std::string::npos) return;
  s[p] = to;
  text = CString(std::move(s));
}

void ReplaceAll(CString& text, char from, char to) {
  std::string s = text.str();
  std::replace(s.begin(), s.end(), from, to);
  text = CString(std::move(s));
}

void RemoveBlanks(CString& text) { text.Remove(kBlank); }

void Trim(CString& text) { text.Trim(); }

int Pseudos2Text(CString& text, const CString& placeholder, const CString& value) {
  const std::string_view key = placeholder.view();
  if (key.empty()) return 0;
  // A value that yields the placeholder again would be found forever; then the
  // search goes on behind each inserted value instead of from the start.
  const bool valueHasKey = LowerCase1252(value.view()).find(key) != std::string::npos;
  std::string s = text.str();
  std::string lower = LowerCase1252(s);
  const std::string lowerValue = LowerCase1252(value.view());
  int count = 0;
  size_t from = 0;
  for (size_t p = lower.find(key, from); p != std::string::npos; p = lower.find(key, from)) {
    s.replace(p, key.size(), value.view());
    lower.replace(p, key.size(), lowerValue);
    ++count;
    // Windows that end before p were free of the placeholder and are unchanged,
    // so restarting here is the same as restarting at the beginning.
    from = valueHasKey ? p + lowerValue.size() : (p >= key.size() ? p - key.size() + 1 : 0);
  }
  text = CString(std::move(s));
  return count;
}

void ExtractString(CString& text, const CString& separator, int count) {
  const std::string_view sep = separator.view();
  std::string s = text.str();
  size_t p = sep.empty() ? std::string::npos : s.find(sep);
  if (p == std::string::npos) return;
  int cuts = 0;
  do {
    s.erase(0, p + 1);
    ++cuts;
    p = s.find(sep);
  } while (cuts < count && p != std::string::npos);
  text = CString(std::move(s));
  text.TrimLeft();
}

CString ReplaceTo(const CString& text, const CString& from, const CString& to) {
  const std::string_view in = text.view();
  const std::string_view what = from.view();
  if (what.empty()) return text;
  std::string out;
  out.reserve(in.size());
  size_t done = 0;
  for (size_t p = in.find(what); p != std::string_view::npos; p = in.find(what, done)) {
    out.append(in.substr(done, p - done));
    out.append(to.view());
    done = p + what.size();
  }
  out.append(in.substr(done));
  return CString(std::move(out));
}

void ReserveString(CString& text, int length) { text.Preallocate(length); }
