#include "terminaldrives.h"

namespace xtb::app {

DWORD DriveBitOfRemoteName(std::string_view remoteName) {
  constexpr std::string_view kPrefix = "\\\\TSCLIENT\\";
  if (remoteName.size() <= kPrefix.size()) return 0;
  for (size_t i = 0; i < kPrefix.size(); ++i) {
    const char c = remoteName[i];
    if ((c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c) != kPrefix[i]) return 0;
  }
  char letter = remoteName[kPrefix.size()];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
  return letter >= 'A' && letter <= 'Z' ? DWORD{1} << (letter - 'A') : 0;
}

}  // namespace xtb::app
