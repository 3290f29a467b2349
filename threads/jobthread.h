// What the two worker classes share: the job record and the worker's
// thread, started and stopped the same way.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <xtbasis/threads.h>

#include "os/thread.h"

namespace xtb {

struct ThreadJob {
  void* context = nullptr;
  XTThreadJob function = nullptr;
  std::string name;

  bool operator==(const ThreadJob& other) const = default;
};

// The thread of a worker object: Start ends a thread still held (quit, then
// join) before it starts the new one; Stop joins, or lets go when called on
// the worker itself.
class JobThread {
 public:
  // `wake` interrupts the worker's wait so that it sees the quit flag.
  explicit JobThread(std::function<void()> wake) : m_wake(std::move(wake)) {}
  ~JobThread() { Stop(true); }

  bool Start(std::function<void()> loop, const char* className);
  void Stop(bool quitFirst);
  void SetQuit() {
    m_quit.store(true);
    m_wake();
  }
  bool Quit() const { return m_quit.load(); }
  bool IsRunning() const { return m_running.load(); }
  os::NativeThread& thread() { return m_thread; }

 private:
  std::function<void()> m_wake;
  std::atomic<bool> m_quit{false};
  std::atomic<bool> m_running{false};
  os::NativeThread m_thread;
};

}  // namespace xtb
