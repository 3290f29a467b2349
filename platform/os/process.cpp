#include "process.h"

#include <pthread.h>
#include <pwd.h>
#include <unistd.h>

#include <atomic>

namespace xtb::os {

namespace {

std::atomic<uint32_t> g_processId{0};
thread_local uint32_t t_threadId = 0;

// The account database's entry of the real user: its login name and home
// folder; false when the database knows no such user.
bool OwnAccount(std::string& name, std::string& home) {
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) != 0 || found == nullptr) return false;
  name = found->pw_name;
  home = found->pw_dir;
  return true;
}

// In the child only the forking thread lives on; its handler runs on it.
void ForgetIdsInChild() {
  g_processId.store(0, std::memory_order_relaxed);
  t_threadId = 0;
}

const bool g_idsForgottenInChild = OnFork(nullptr, nullptr, ForgetIdsInChild);

}  // namespace

uint32_t ProcessId() { return static_cast<uint32_t>(getpid()); }

// Not cached: a child of fork() must see its own id.
uint32_t ThreadId() { return static_cast<uint32_t>(gettid()); }

uint32_t CachedProcessId() {
  (void)g_idsForgottenInChild;
  uint32_t id = g_processId.load(std::memory_order_relaxed);
  if (id == 0) {
    id = ProcessId();
    g_processId.store(id, std::memory_order_relaxed);
  }
  return id;
}

uint32_t CachedThreadId() {
  if (t_threadId == 0) t_threadId = ThreadId();
  return t_threadId;
}

uint32_t EffectiveUserId() { return static_cast<uint32_t>(geteuid()); }

uint32_t RealUserId() { return static_cast<uint32_t>(getuid()); }

bool OnFork(void (*prepare)(), void (*parent)(), void (*child)()) {
  return pthread_atfork(prepare, parent, child) == 0;
}

std::string UserName() {
  std::string name, home;
  return OwnAccount(name, home) ? name : "uid" + std::to_string(getuid());
}

std::string AccountHomeFolder() {
  std::string name, home;
  return OwnAccount(name, home) ? home : std::string();
}

}  // namespace xtb::os
