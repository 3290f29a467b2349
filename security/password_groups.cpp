#include <algorithm>

#include <xtbasis/password.h>

#include "os/random.h"

namespace {

// Attempts before GeneratePassword gives up on a combination of length and
// groups that almost never uses every group.
constexpr int kMaxAttempts = 1000000;

// Unsigned 32-bit values from the kernel's secure source, fetched in batches.
class SecureDraws {
 public:
  // False when the source fails.
  bool Next(uint32_t& value) {
    if (m_next == kBatch) {
      if (!xtb::os::FillSecureRandom(m_values, sizeof m_values)) return false;
      m_next = 0;
    }
    value = m_values[m_next++];
    return true;
  }

 private:
  static constexpr size_t kBatch = 256;
  uint32_t m_values[kBatch];
  size_t m_next = kBatch;
};

bool CanBeSatisfied(int length, const std::vector<CString>& groups) {
  if (length < 0 || static_cast<size_t>(length) < groups.size()) return false;
  if (groups.empty()) return length == 0;
  for (const CString& group : groups)
    if (group.IsEmpty()) return false;
  return true;
}

}  // namespace

CString GeneratePassword(int length, const std::vector<CString>& groups) {
  if (!CanBeSatisfied(length, groups)) return CString();
  if (length == 0) return CString();
  SecureDraws draws;
  std::vector<bool> used(groups.size());
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    std::string password;
    used.assign(groups.size(), false);
    for (int position = 0; position < length; ++position) {
      uint32_t groupDraw, charDraw;
      if (!draws.Next(groupDraw) || !draws.Next(charDraw)) return CString();
      const size_t group = groupDraw % groups.size();
      const CString& chars = groups[group];
      password += chars[static_cast<int>(charDraw % static_cast<uint32_t>(chars.GetLength()))];
      used[group] = true;
    }
    if (std::find(used.begin(), used.end(), false) == used.end()) return CString(std::move(password));
  }
  return CString();
}

bool IsValidPassword(const CString& password, int minLength, int maxLength,
                     const std::vector<CString>& groups) {
  const int length = password.GetLength();
  if (length < minLength || length > maxLength) return false;
  std::vector<bool> used(groups.size(), false);
  for (char ch : password.view()) {
    size_t group = 0;
    while (group < groups.size() && groups[group].view().find(ch) == std::string_view::npos) ++group;
    if (group == groups.size()) return false;
    used[group] = true;
  }
  return std::find(used.begin(), used.end(), false) == used.end();
}
