// Reading tokens, splitting texts into lists and joining two texts.
#include <string_view>

#include <xtbasis/tokenize.h>

namespace {

// Shared body of TryGetNextToken and TryGetNextTok: skips blanks, then ends
// at any byte of delims.
bool NextToken(const CString& text, int& pos, std::string_view delims, CString& token) {
  token.Empty();
  const std::string_view s = text.view();
  if (pos < 0) pos = 0;
  if (pos >= static_cast<int>(s.size())) return false;
  int p = pos;
  while (p < static_cast<int>(s.size()) && s[static_cast<size_t>(p)] == ' ') ++p;
  const int start = p;
  while (p < static_cast<int>(s.size()) && delims.find(s[static_cast<size_t>(p)]) == std::string_view::npos) ++p;
  token = CString(s.substr(static_cast<size_t>(start), static_cast<size_t>(p - start)));
  pos = p + 1;
  return !token.IsEmpty();
}

void Split(std::string_view s, std::string_view sep, std::vector<CString>& list, bool keepTrailingEmpty) {
  if (s.empty()) return;
  size_t start = 0;
  while (true) {
    const size_t at = sep.empty() ? std::string_view::npos : s.find(sep, start);
    if (at == std::string_view::npos) break;
    list.emplace_back(s.substr(start, at - start));
    start = at + sep.size();
  }
  if (start < s.size() || keepTrailingEmpty) list.emplace_back(s.substr(start));
}

}  // namespace

void SeparatedStrToVec(CString text, char separator, std::vector<CString>& list, bool keepTrailingEmpty) {
  Split(text.view(), std::string_view(&separator, 1), list, keepTrailingEmpty);
}

void SeparatedStrToVec1(CString text, CString separator, std::vector<CString>& list, bool keepTrailingEmpty) {
  Split(text.view(), separator.view(), list, keepTrailingEmpty);
}

void CopyData2StrVec(const CString& data, std::vector<CString>& list) {
  const std::string_view s = data.view();
  size_t start = 0;
  for (size_t at; (at = s.find('\x1F', start)) != std::string_view::npos; start = at + 1)
    list.emplace_back(s.substr(start, at - start));
  list.emplace_back(s.substr(start));
}

CString SCatS(const CString& first, const CString& second, const CString& separator, bool avoidDouble) {
  if (first.IsEmpty()) return second;
  if (second.IsEmpty()) return first;
  if (avoidDouble && (separator.IsEmpty() || first.view().ends_with(separator.view()) ||
                      second.view().starts_with(separator.view())))
    return first + second;
  return first + separator + second;
}

bool TryGetChar(const CString& text, int pos, char& c) {
  if (pos < 0 || pos >= text.GetLength()) return false;
  c = text[pos];
  return true;
}

bool TryGetNextChar(const CString& text, int& pos, char& c) {
  if (!TryGetChar(text, pos, c)) return false;
  ++pos;
  return true;
}

bool TryGetNextToken(const CString& text, int& pos, char delimiter, CString& token) {
  return NextToken(text, pos, std::string_view(&delimiter, 1), token);
}

bool TryGetNextTok(const CString& text, int& pos, const CString& delimiters, CString& token) {
  return NextToken(text, pos, delimiters.view(), token);
}
