#include "os/stopped_threads.h"

#include <dirent.h>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <time.h>

#include <cstdlib>
#include <string>

namespace xtb::os {
namespace {

// A thread that does not stop within this time (it is deep in the kernel)
// is dumped without its registers rather than holding the crash up.
constexpr long kStopWaitMs = 200;

std::vector<pid_t> ThreadsOf(pid_t pid) {
  std::vector<pid_t> threads;
  const std::string folder = "/proc/" + std::to_string(pid) + "/task";
  DIR* tasks = opendir(folder.c_str());
  if (tasks == nullptr) return threads;
  while (const dirent* entry = readdir(tasks)) {
    char* end = nullptr;
    const long tid = std::strtol(entry->d_name, &end, 10);
    if (tid > 0 && *end == '\0') threads.push_back(static_cast<pid_t>(tid));
  }
  closedir(tasks);
  return threads;
}

// Waits for the seized thread's stop, a bounded time.
bool AwaitStop(pid_t tid) {
  const timespec pause{0, 1000 * 1000};
  for (long waited = 0; waited < kStopWaitMs; ++waited) {
    int status = 0;
    const pid_t got = waitpid(tid, &status, __WALL | WNOHANG);
    if (got == tid) return WIFSTOPPED(status);
    if (got < 0) return false;
    nanosleep(&pause, nullptr);
  }
  return false;
}

}  // namespace

StoppedThreads::StoppedThreads(pid_t pid, pid_t except) {
  for (const pid_t tid : ThreadsOf(pid)) {
    if (tid == except || ptrace(PTRACE_SEIZE, tid, nullptr, nullptr) != 0) continue;
    m_seized.push_back(tid);
    if (ptrace(PTRACE_INTERRUPT, tid, nullptr, nullptr) != 0 || !AwaitStop(tid)) continue;
    ThreadRegisters thread;
    thread.tid = tid;
    if (ptrace(PTRACE_GETREGS, tid, nullptr, &thread.registers) == 0) m_threads.push_back(thread);
  }
}

StoppedThreads::~StoppedThreads() {
  // A thread that never stopped cannot be detached now; it is let go when
  // the helper ends.
  for (const pid_t tid : m_seized) ptrace(PTRACE_DETACH, tid, nullptr, nullptr);
}

}  // namespace xtb::os
