// Threads and events for the worker classes: a joinable thread that can be
// named, a manual-reset event, and the number of processors the process may
// run on.
#pragma once

#include <pthread.h>

#include <chrono>
#include <cstdint>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string_view>
#include <xtbasis/platform/wintypes.h>

namespace xtb::os {

class NativeThread {
 public:
  NativeThread() = default;
  ~NativeThread();  // a thread still held is detached, never joined here
  NativeThread(const NativeThread&) = delete;
  NativeThread& operator=(const NativeThread&) = delete;

  // Runs `body` on a new thread with the default stack; false (errno set)
  // when no thread could be created.
  bool Start(std::function<void()> body);
  // False in a child of fork(): the thread exists in its parent only.
  bool InThisProcess() const;
  bool IsCurrent() const;
  // Waits without limit for the thread to end and lets it go (in a child of
  // fork() only lets it go).
  void Join();
  // Lets the thread go without waiting for it.
  void Detach();
  // Names the thread for debuggers, `ps -L` and crash reports; the name is
  // code page 1252 text and the kernel keeps its first 15 bytes as UTF-8.
  // False (errno set, EBADF for a thread not started) when it cannot be.
  bool SetName(std::string_view name) const;

 private:
  pthread_t m_thread{};
  uint32_t m_process = 0;  // the process that started the thread
  bool m_started = false;
};

// Names the calling thread as NativeThread::SetName does.
bool SetCurrentThreadName(std::string_view name);

// The processors this process may run on (its affinity mask), at least 1.
int ProcessorCount();

// An event with manual reset: once set, it stays set and releases every
// waiter until it is reset.
class ManualResetEvent {
 public:
  void Set();
  void Reset();
  // True when the event is (or becomes) set within `timeoutMs`; INFINITE
  // waits without limit, 0 only looks.
  bool Wait(DWORD timeoutMs) const;

 private:
  mutable std::mutex m_mutex;
  mutable std::condition_variable m_changed;
  bool m_set = false;
};

}  // namespace xtb::os
