#include "tracesettings.h"

#include <cstdio>
#include <cstring>

#include <xtbasis/platform/winlong.h>

#include "envexpand.h"
#include "regvalue.h"

namespace xtb {

namespace {

constexpr DWORD kFirstBufferSize = 16;
constexpr char kDefaultFilter[] = "!-998,!-992";
constexpr int kFilterReadMarker = 2147483647;

bool ValueAsText(DWORD type, const std::string& data, std::string& text) {
  switch (type) {
    case REG_SZ:
    case REG_BINARY:
    case REG_MULTI_SZ:
      text = RegText(data);
      return true;
    case REG_EXPAND_SZ:
      text = ExpandEnvironmentText(RegText(data));
      return true;
    case REG_DWORD: {
      if (data.size() < sizeof(DWORD)) return false;
      DWORD number = 0;
      std::memcpy(&number, data.data(), sizeof number);
      char digits[16];
      std::snprintf(digits, sizeof digits, "%u", number);
      text = digits;
      return true;
    }
    default:
      return false;
  }
}

}  // namespace

bool TraceFilter::Passes(int progId) const {
  if (!included.empty() && !included.count(progId)) return false;
  return !excluded.count(progId);
}

TraceFilter ParseTraceFilter(std::string_view text) {
  TraceFilter filter;
  size_t start = 0;
  while (start < text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string_view::npos) comma = text.size();
    const std::string entry(text.substr(start, comma - start));
    if (!entry.empty() && entry[0] == '!')
      filter.excluded.insert(xtb::winlong::AToL(entry.c_str() + 1));
    else
      filter.included.insert(xtb::winlong::AToL(entry.c_str()));
    start = comma + 1;
  }
  if (filter.included.empty() && filter.excluded.empty()) filter.excluded.insert(kFilterReadMarker);
  return filter;
}

bool ReadTraceValue(const CString& keyPath, const char* name, std::string& text) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  DWORD type = REG_NONE;
  std::string data;
  const bool found =
      QueryRegValue(key, name, kFirstBufferSize, type, data) == ERROR_SUCCESS && ValueAsText(type, data, text);
  RegCloseKey(key);
  return found;
}

int ClampedTraceLevel(const std::string& text) {
  const int level = xtb::winlong::AToL(text.c_str());
  return level < 0 ? 0 : level > 3 ? 3 : level;
}

void TraceSettings::EnsureRead(CXTSysBase& sysBase) {
  if (g_traceLevelGate.load(std::memory_order_acquire) != kUnread) return;
  std::lock_guard lock(m_readMutex);
  if (g_traceLevelGate.load(std::memory_order_relaxed) != kUnread) return;
  const CString keyPath = sysBase.MainRegKey();
  std::string text;
  const int level = ReadTraceValue(keyPath, "TraceLevel", text) ? ClampedTraceLevel(text) : 0;
  m_messageBoxLevel = ReadTraceValue(keyPath, "TraceMsgBox", text) ? ClampedTraceLevel(text) : 0;
  m_traceFile = sysBase.LogDir.str() + "r9trace.log";
  m_filter = ParseTraceFilter(ReadTraceValue(keyPath, "TraceProgId", text) ? text : kDefaultFilter);
  g_traceLevelGate.store(level, std::memory_order_release);
}

void TraceSettings::Reset() {
  std::lock_guard lock(m_readMutex);
  g_traceLevelGate.store(kUnread);
  m_messageBoxLevel = -1;
  m_traceFile.clear();
  m_filter = TraceFilter();
}

// Constant-initialised, so a record traced before any constructor ran sees
// "settings unread" too.
std::atomic<int64_t> g_traceLevelGate{std::numeric_limits<int64_t>::max()};

TraceSettings& ProcessTraceSettings() {
  static TraceSettings settings;
  return settings;
}

}  // namespace xtb
