#include "envexpand.h"

#include "os/environment.h"

namespace xtb {

std::string ExpandEnvironmentText(std::string_view text) {
  std::string out;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t open = text.find('%', pos);
    const size_t close = open == std::string_view::npos ? open : text.find('%', open + 1);
    if (close == std::string_view::npos) break;
    out.append(text.substr(pos, open - pos));
    const std::string name(text.substr(open + 1, close - open - 1));
    const char* value = name.empty() ? nullptr : os::EnvironmentValue(name.c_str());
    if (value) {
      out += value;
      pos = close + 1;
    } else {
      out += '%';  // not a reference: the closing '%' may open the next one
      pos = open + 1;
      out.append(text.substr(pos, close - pos));
      pos = close;
    }
  }
  out.append(text.substr(pos));
  return out;
}

}  // namespace xtb
