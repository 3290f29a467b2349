#include "thread.h"

#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>

#include "process.h"
#include "utf8cp1252.h"

namespace xtb::os {

namespace {

void* Trampoline(void* argument) {
  const std::unique_ptr<std::function<void()>> body(static_cast<std::function<void()>*>(argument));
  (*body)();
  return nullptr;
}

// The first 15 bytes of the name in UTF-8, cut at a character boundary.
std::string KernelName(std::string_view name) {
  std::string utf8 = Cp1252ToUtf8(name);
  size_t end = utf8.size() < 15 ? utf8.size() : 15;
  while (end > 0 && end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) --end;
  utf8.resize(end);
  return utf8;
}

bool Rename(pthread_t thread, std::string_view name) {
  const int result = pthread_setname_np(thread, KernelName(name).c_str());
  if (result != 0) errno = result;
  return result == 0;
}

}  // namespace

NativeThread::~NativeThread() { Detach(); }

bool NativeThread::Start(std::function<void()> body) {
  auto* handOver = new std::function<void()>(std::move(body));
  const int result = pthread_create(&m_thread, nullptr, &Trampoline, handOver);
  if (result != 0) {
    delete handOver;
    errno = result;
    return false;
  }
  m_process = CachedProcessId();
  m_started = true;
  return true;
}

bool NativeThread::IsCurrent() const { return m_started && pthread_equal(m_thread, pthread_self()); }

// The cached id, forgotten in a child of fork(): no system call for a check
// that the pool makes on every call.
bool NativeThread::InThisProcess() const { return m_started && m_process == CachedProcessId(); }

void NativeThread::Join() {
  if (InThisProcess()) pthread_join(m_thread, nullptr);
  m_started = false;
}

void NativeThread::Detach() {
  if (InThisProcess()) pthread_detach(m_thread);
  m_started = false;
}

bool NativeThread::SetName(std::string_view name) const {
  if (!m_started) {
    errno = EBADF;
    return false;
  }
  return Rename(m_thread, name);
}

bool SetCurrentThreadName(std::string_view name) { return Rename(pthread_self(), name); }

int ProcessorCount() {
  cpu_set_t set;
  if (sched_getaffinity(0, sizeof set, &set) == 0) {
    const int count = CPU_COUNT(&set);
    if (count > 0) return count;
  }
  const long online = sysconf(_SC_NPROCESSORS_ONLN);
  return online > 0 ? static_cast<int>(online) : 1;
}

void ManualResetEvent::Set() {
  {
    std::lock_guard lock(m_mutex);
    m_set = true;
  }
  m_changed.notify_all();
}

void ManualResetEvent::Reset() {
  std::lock_guard lock(m_mutex);
  m_set = false;
}

bool ManualResetEvent::Wait(DWORD timeoutMs) const {
  std::unique_lock lock(m_mutex);
  if (timeoutMs == INFINITE) {
    m_changed.wait(lock, [&] { return m_set; });
    return true;
  }
  return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return m_set; });
}

}  // namespace xtb::os
