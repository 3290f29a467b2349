#include "own_symbols.h"

#include <unwind.h>

#include <algorithm>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "os/process.h"
#include "symbolizer.h"

namespace xtb {
namespace {

// Traces are taken again and again at the same places (a loop, a frequent
// error path): the names part of an address's line is kept until the module
// list changes. Bounded; emptied when full.
constexpr size_t kRememberedAddresses = 4096;

class Session {
 public:
  bool Format(const std::vector<StackFrame>& frames, std::string& text, size_t activations) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stale || !m_symbols || !m_symbols->IsReady()) Renew();
    if (!m_symbols->IsReady()) return false;
    text.reserve(text.size() + 80 + frames.size() * 160);
    AppendStackHeader(text);
    bool refreshed = false;
    for (size_t i = 0; i < frames.size(); ++i) {
      const StackFrame& frame = frames[i];
      AppendFrameAddresses(text, frame);
      if (i < activations) {
        text += Names(frame, false, refreshed);
      } else if (const auto known = m_names.find(frame.address); known != m_names.end()) {
        text += known->second;
      } else {
        text += Names(frame, true, refreshed);
      }
      text += "\r\n";
    }
    return true;
  }

  bool Describe(StackFrame& frame) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stale || !m_symbols || !m_symbols->IsReady()) Renew();
    if (!m_symbols->IsReady()) return false;
    if (!m_symbols->Covers(frame.address)) {
      m_symbols->Refresh();
      m_names.clear();
    }
    m_symbols->Describe(frame, false);
    return !frame.module.empty();
  }

  // Around fork(): no other thread holds the session while the child is
  // made, and the child reads its own process anew.
  void Lock() { m_mutex.lock(); }
  void Unlock() { m_mutex.unlock(); }
  void MarkStale() { m_stale = true; }

 private:
  // Looks the address up; the list is read again, once per trace at most,
  // for an address outside every module known (a library loaded since;
  // code outside every module, as generated code, costs one reading).
  std::string Names(const StackFrame& frame, bool isReturnAddress, bool& refreshed) {
    const uint64_t lookup = isReturnAddress && frame.address > 0 ? frame.address - 1 : frame.address;
    if (!m_symbols->Covers(lookup) && !refreshed) {
      m_symbols->Refresh();
      m_names.clear();
      refreshed = true;
    }
    StackFrame described = frame;
    m_symbols->Describe(described, isReturnAddress);
    std::string names;
    AppendFrameNames(names, described);
    // Only return addresses are remembered: the names of an address depend
    // on which of the two it is.
    if (isReturnAddress && m_symbols->Covers(lookup)) {
      if (m_names.size() >= kRememberedAddresses) m_names.clear();
      m_names.emplace(frame.address, names);
    }
    return names;
  }

  void Renew() {
    m_names.clear();
    m_symbols.reset();
    m_symbols = std::make_unique<Symbolizer>(static_cast<pid_t>(os::ProcessId()));
    m_stale = false;
  }

  std::mutex m_mutex;
  std::unique_ptr<Symbolizer> m_symbols;
  std::unordered_map<uint64_t, std::string> m_names;
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

struct Unwinding {
  std::vector<StackFrame> frames;
  size_t limit;
};

_Unwind_Reason_Code OnUnwind(_Unwind_Context* context, void* arg) {
  auto& unwinding = *static_cast<Unwinding*>(arg);
  StackFrame frame;
  frame.address = _Unwind_GetIP(context);
  frame.frameAddress = _Unwind_GetCFA(context);
  if (frame.address == 0 || frame.frameAddress == 0) return _URC_END_OF_STACK;
  unwinding.frames.push_back(frame);
  return unwinding.frames.size() >= unwinding.limit ? _URC_END_OF_STACK : _URC_NO_REASON;
}

}  // namespace

__attribute__((noinline)) std::vector<StackFrame> UnwindOwnStack(size_t limit) {
  Unwinding unwinding{{}, limit};
  unwinding.frames.reserve(std::min<size_t>(limit, 64));
  _Unwind_Backtrace(OnUnwind, &unwinding);
  return std::move(unwinding.frames);
}

bool FormatOwnStack(const std::vector<StackFrame>& frames, std::string& text, size_t activations) {
  return ProcessSession().Format(frames, text, activations);
}

bool DescribeOwnAddress(StackFrame& frame) { return ProcessSession().Describe(frame); }

}  // namespace xtb
