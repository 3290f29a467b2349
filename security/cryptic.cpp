#include <cstring>

#include <xtbasis/cryptic.h>

namespace {

// Bytes that scrambled text must neither lose nor gain: the terminator and
// the two field delimiters of the suite's records.
bool IsProtected(char ch) { return ch == '\0' || ch == '|' || ch == '\''; }

}  // namespace

void MakeCryptic(char* buffer, int length, const char* key) {
  if (buffer == nullptr || key == nullptr || length < 1) return;
  const size_t keyLength = std::strlen(key);
  if (keyLength == 0) return;
  for (int i = 0; i < length; ++i) {
    const char ch = buffer[i];
    if (IsProtected(ch)) continue;
    const char scrambled = static_cast<char>(ch ^ key[static_cast<size_t>(i) % keyLength]);
    if (!IsProtected(scrambled)) buffer[i] = scrambled;
  }
}
