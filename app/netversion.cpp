#include "netversion.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace xtb {

namespace {

std::vector<int> Parts(const CString& version) {
  std::vector<int> parts;
  const std::string text(version.GetString(), static_cast<size_t>(version.GetLength()));
  size_t start = 0;
  for (;;) {
    const size_t dot = text.find('.', start);
    parts.push_back(std::atoi(text.substr(start, dot - start).c_str()));
    if (dot == std::string::npos) return parts;
    start = dot + 1;
  }
}

}  // namespace

void RaiseVersion(CString& result, const CString& candidate) {
  if (result.IsEmpty()) {
    result = candidate;
    return;
  }
  const std::vector<int> own = Parts(result);
  const std::vector<int> other = Parts(candidate);
  for (size_t i = 0; i < own.size() || i < other.size(); ++i) {
    const int a = i < own.size() ? own[i] : 0;
    const int b = i < other.size() ? other[i] : 0;
    if (a != b) {
      if (b > a) result = candidate;
      return;
    }
  }
}

}  // namespace xtb
