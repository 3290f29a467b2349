// Splitting texts into lists and joining two texts.
#include <string_view>

#include <xtbasis/tokenize.h>

namespace {

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
