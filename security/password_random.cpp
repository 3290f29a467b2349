#include <atomic>
#include <cstdlib>

#include <xtbasis/password.h>
#include <xtbasis/platform/clock.h>

namespace {

constexpr char kSpecials[] = "$!%^(){}[];:<>?#";
constexpr int kMinimumLength = 3;  // three of the four kinds must occur

// Grows by the tick count at every attempt, for the life of the process.
std::atomic<uint32_t> g_seedAccumulator{0};

enum Kind { kLower, kUpper, kDigit, kSpecial, kKinds };

Kind DrawKind() {
  switch (std::rand() % 9) {
    case 0: case 2: case 5: return kLower;
    case 1: case 3: case 6: return kUpper;
    case 4: case 7: return kDigit;
    default: return kSpecial;
  }
}

char DrawCharacter(Kind kind) {
  switch (kind) {
    case kLower: return static_cast<char>('a' + std::rand() % 26);
    case kUpper: return static_cast<char>('A' + std::rand() % 26);
    case kDigit: return static_cast<char>('0' + std::rand() % 10);
    default: return kSpecials[std::rand() % 16];
  }
}

}  // namespace

CString XTCreatePassword(int length) {
  if (length < kMinimumLength) return CString();
  for (;;) {
    const uint32_t tick = GetTickCount();
    std::srand(g_seedAccumulator.fetch_add(tick) + tick);
    std::string password;
    int counts[kKinds] = {};
    char previous = '\0';
    while (password.size() < static_cast<size_t>(length)) {
      const Kind kind = DrawKind();
      const char ch = DrawCharacter(kind);
      ++counts[kind];
      if (ch == previous) continue;
      password += ch;
      previous = ch;
    }
    int kindsUsed = 0;
    for (int count : counts) kindsUsed += count > 0;
    if (kindsUsed >= 3) return CString(std::move(password));
  }
}
