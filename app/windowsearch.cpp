#include "windowsearch.h"

#include <cstring>
#include <string>
#include <xtbasis/platform/clock.h>
#include <xtbasis/platform/codepage1252.h>
#include <xtbasis/windowsearch.h>

namespace xtb::app {

namespace {

// A title as the search reads it: into a buffer of 260 characters.
constexpr size_t kTitleBuffer = 260;

bool SameIgnoringCase(const char* a, const char* b, size_t length) {
  for (size_t i = 0; i < length; ++i)
    if (cp1252::ToLower(a[i]) != cp1252::ToLower(b[i])) return false;
  return true;
}

}  // namespace

HWND PickWindow(const std::vector<desktop::TopWindow>& windows, const char* className, const char* title, bool exact,
                Owner owner, DWORD ownProcessId) {
  if (!title) return nullptr;
  const size_t wanted = std::strlen(title);
  HWND best = nullptr;
  size_t bestDifference = 65535;
  for (const desktop::TopWindow& window : windows) {
    if (className && window.className != className) continue;
    if (owner != Owner::Any && (window.processId == ownProcessId) != (owner == Owner::ThisProcess)) continue;
    const std::string text = window.title.substr(0, kTitleBuffer - 1);
    if (exact) {
      if (text.size() == wanted && SameIgnoringCase(text.c_str(), title, wanted)) return window.window;
      continue;
    }
    if (text.size() < wanted || !SameIgnoringCase(text.c_str(), title, wanted)) continue;
    const size_t difference = text.size() - wanted;
    if (difference < bestDifference) {
      best = window.window;
      bestDifference = difference;
    }
  }
  return best;
}

}  // namespace xtb::app

HWND FindAWindow(const char* title, bool exact, bool ownProcess) {
  using xtb::app::Owner;
  return xtb::app::PickWindow(xtb::desktop::VisibleTopWindows(), nullptr, title, exact,
                              ownProcess ? Owner::ThisProcess : Owner::OtherProcesses, GetCurrentProcessId());
}

HWND FindAWindowClass(const char* className, const char* title, bool exact) {
  if (!className) return nullptr;
  return xtb::app::PickWindow(xtb::desktop::VisibleTopWindows(), className, title, exact, xtb::app::Owner::Any, 0);
}
