#include "own_symbols.h"

#include <memory>
#include <mutex>
#include <unordered_map>

#include "os/process.h"
#include "stackwalk.h"

namespace xtb {
namespace {

// Traces are taken again and again at the same places (a loop, a frequent
// error path): the names of an address are kept until the module list
// changes. Bounded; emptied when full.
constexpr size_t kRememberedAddresses = 4096;

struct Names {
  std::string function;
  uint64_t displacement = 0;
  int section = 0;
  uint64_t sectionOffset = 0;
  std::string module;
  std::string sourceFile;
  unsigned line = 0;
};

class Session {
 public:
  bool Describe(std::vector<StackFrame>& frames) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stale || !m_symbols || !m_symbols->IsReady()) Renew();
    if (!m_symbols->IsReady()) return false;
    bool refreshed = false;
    for (StackFrame& frame : frames) {
      const auto known = m_names.find(frame.address);
      if (known != m_names.end()) {
        Fill(frame, known->second);
        continue;
      }
      const uint64_t lookup = frame.address > 0 ? frame.address - 1 : 0;
      if (!m_symbols->Covers(lookup) && !refreshed) {
        // A library loaded since the list was read; once per trace at most,
        // so code outside every module (generated code) costs one reading.
        m_symbols->Refresh();
        m_names.clear();
        refreshed = true;
      }
      m_symbols->Describe(frame, true);
      if (!m_symbols->Covers(lookup)) continue;
      if (m_names.size() >= kRememberedAddresses) m_names.clear();
      m_names.emplace(frame.address, Names{frame.function, frame.displacement, frame.section, frame.sectionOffset,
                                           frame.module, frame.sourceFile, frame.line});
    }
    return true;
  }

  // Around fork(): no other thread holds the session while the child is
  // made, and the child reads its own process anew.
  void Lock() { m_mutex.lock(); }
  void Unlock() { m_mutex.unlock(); }
  void MarkStale() { m_stale = true; }

 private:
  static void Fill(StackFrame& frame, const Names& names) {
    frame.function = names.function;
    frame.displacement = names.displacement;
    frame.section = names.section;
    frame.sectionOffset = names.sectionOffset;
    frame.module = names.module;
    frame.sourceFile = names.sourceFile;
    frame.line = names.line;
  }

  void Renew() {
    m_names.clear();
    m_symbols.reset();
    m_symbols = std::make_unique<Symbolizer>(static_cast<pid_t>(os::ProcessId()));
    m_stale = false;
  }

  std::mutex m_mutex;
  std::unique_ptr<Symbolizer> m_symbols;
  std::unordered_map<uint64_t, Names> m_names;
  bool m_stale = false;
};

Session& ProcessSession() {
  // Never destroyed: a trace taken while the program ends still finds it.
  static Session* const session = [] {
    auto* made = new Session;
    os::OnFork([] { ProcessSession().Lock(); }, [] { ProcessSession().Unlock(); },
               [] {
                 ProcessSession().MarkStale();
                 ProcessSession().Unlock();
               });
    return made;
  }();
  return *session;
}

}  // namespace

bool DescribeOwnFrames(std::vector<StackFrame>& frames) { return ProcessSession().Describe(frames); }

}  // namespace xtb
