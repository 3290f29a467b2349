// Events by handle: set, reset and pulse, on the one wait mechanism.
#include <xtbasis/win32/sync.h>

#include "object_names.h"
#include "waitable.h"

namespace {

// A pulse releases the threads waiting when it comes: each wait remembers
// the pulse count at its start and sees the event signalled while that
// count has moved on (for auto reset, only until one of them has taken it).
class EventObject : public xtb::win32::Waitable {
 public:
  EventObject(bool manualReset, bool set) : m_manualReset(manualReset), m_set(set) {}

  uint64_t BeginWait() override {
    ++m_waiters;
    return m_pulses;
  }
  void EndWait() override { --m_waiters; }
  bool IsSignalledFor(DWORD, uint64_t pulsesSeen) const override {
    return m_set || (pulsesSeen != m_pulses && (m_manualReset || m_pulseUntaken));
  }
  bool Acquire(DWORD, uint64_t) override {
    if (!m_manualReset) {
      if (m_set) {
        m_set = false;
      } else {
        m_pulseUntaken = false;
      }
    }
    return false;
  }

  // These run with WaitLock held.
  void Set() {
    m_set = true;
    m_pulseUntaken = false;
  }
  void Reset() {
    m_set = false;
    m_pulseUntaken = false;
  }
  void Pulse() {
    m_set = false;
    m_pulseUntaken = m_waiters > 0;
    if (m_waiters > 0) ++m_pulses;
  }

 private:
  const bool m_manualReset;
  bool m_set;
  int m_waiters = 0;
  uint64_t m_pulses = 0;
  bool m_pulseUntaken = false;
};

// Runs `change` on the event of `handle` under the wait lock and wakes the
// waiters; FALSE with ERROR_INVALID_HANDLE for a handle of no event.
template <class Change>
BOOL ChangeEvent(HANDLE handle, Change change) {
  std::shared_ptr<EventObject> event = xtb::win32::ObjectOfKind<EventObject>(handle);
  if (event == nullptr) return FALSE;
  std::lock_guard<std::mutex> guard(xtb::win32::WaitLock());
  change(*event);
  xtb::win32::WakeWaiters();
  return TRUE;
}

}  // namespace

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES, BOOL manualReset, BOOL initialState, LPCSTR name) {
  bool existed = false;
  return xtb::win32::CreateMaybeNamed<EventObject>(
      name, [&] { return std::make_shared<EventObject>(manualReset != FALSE, initialState != FALSE); }, existed);
}

HANDLE OpenEventA(DWORD, BOOL, LPCSTR name) { return xtb::win32::OpenNamed<EventObject>(name); }

BOOL SetEvent(HANDLE event) {
  return ChangeEvent(event, [](EventObject& object) { object.Set(); });
}

BOOL ResetEvent(HANDLE event) {
  return ChangeEvent(event, [](EventObject& object) { object.Reset(); });
}

BOOL PulseEvent(HANDLE event) {
  return ChangeEvent(event, [](EventObject& object) { object.Pulse(); });
}
