// What the two worker classes share: the job record and the worker's
// thread, started and stopped the same way.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
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
// the worker itself. An object that ends lets its worker go instead of
// waiting: the worker holds a share of the state it uses, so it may finish
// its job (a job blocked for good, in a read say, no longer holds up the
// program's exit) and end on its own.
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
  // For the owner's destructor: the worker quits after the job it runs,
  // without calling back into the owner; nothing waits for it.
  void LetGo();
  // The worker's last act: `onQuit`'s result, or 0 when the owner has let
  // the worker go (the owner is gone, so there is no one to call).
  unsigned int Finish(const std::function<unsigned int()>& onQuit);
  bool Quit() const { return m_quit.load(); }
  bool IsRunning() const { return m_running.load(); }
  os::NativeThread& thread() { return m_thread; }

 private:
  std::function<void()> m_wake;
  std::atomic<bool> m_quit{false};
  std::atomic<bool> m_running{false};
  // Held by Finish while it calls back and by LetGo; recursive, since
  // OnQuit may end the object on the worker itself.
  std::recursive_mutex m_ownerMutex;
  bool m_letGo = false;
  os::NativeThread m_thread;
};

}  // namespace xtb
