// The trace settings of the process, read once from the application's main
// key below HKEY_LOCAL_MACHINE.
#pragma once

#include <atomic>
#include <cstdint>
#include <limits>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <xtbasis/sysbase.h>
#include <xtbasis/trace.h>

namespace xtb {

struct TraceFilter {
  std::set<int> included;  // not empty: only these ids are written
  std::set<int> excluded;  // never written

  bool Passes(int progId) const;
};

// "5,!7" into included 5 and excluded 7; both sets empty afterwards marks
// the filter read by excluding 2147483647.
TraceFilter ParseTraceFilter(std::string_view text);

// A value of the settings key as text (REG_SZ, REG_BINARY, REG_MULTI_SZ up
// to the first zero, REG_EXPAND_SZ expanded, REG_DWORD as "%u"); false when
// the key or value is missing or of another type.
bool ReadTraceValue(const CString& keyPath, const char* name, std::string& text);

// atoi of the text clamped to 0..3.
int ClampedTraceLevel(const std::string& text);

class TraceSettings {
 public:
  // Reads the settings once (any thread may call it first).
  void EnsureRead(CXTSysBase& sysBase);

  // The trace level while the settings are read, else the largest value, so
  // that one comparison tells a filtered-out record.
  // It is the exported g_traceLevelGate, so that the headers' templates test
  // it inline.
  int64_t LevelGate() const { return g_traceLevelGate.load(std::memory_order_acquire); }
  int TraceLevel() const { return static_cast<int>(g_traceLevelGate.load(std::memory_order_relaxed)); }
  // Stores the level and returns the one before (settings must be read).
  int ExchangeTraceLevel(int level) {
    return static_cast<int>(g_traceLevelGate.exchange(level, std::memory_order_acq_rel));
  }
  int MessageBoxLevel() const { return m_messageBoxLevel; }
  const std::string& TraceFile() const { return m_traceFile; }
  const TraceFilter& Filter() const { return m_filter; }

  // Back to the state before the first reading (tests).
  void Reset();

 private:
  static constexpr int64_t kUnread = std::numeric_limits<int64_t>::max();

  std::mutex m_readMutex;
  int m_messageBoxLevel = -1;
  std::string m_traceFile;
  TraceFilter m_filter;
};

// The one set of the process.
TraceSettings& ProcessTraceSettings();

}  // namespace xtb
