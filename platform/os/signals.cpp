#include "os/signals.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

// The C library's own entry, reached past the interposers below.
extern "C" int __sigaction(int signo, const struct sigaction* action, struct sigaction* previous);

namespace xtb::os {
namespace {

constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP};

// Set once the handlers are in place; from then on the interposers refuse.
std::atomic<bool> g_guarded{false};

bool IsGuarded(int signo) {
  if (!g_guarded.load(std::memory_order_acquire)) return false;
  for (int fatal : kFatalSignals) {
    if (fatal == signo) return true;
  }
  return false;
}

}  // namespace

bool EnsureAlternateStack() {
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0) return true;
  // Enough for the handler, which only hands the crash on to the helper.
  const size_t size = 64 * 1024;
  void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) return false;
  stack_t stack{};
  stack.ss_sp = memory;
  stack.ss_size = size;
  if (sigaltstack(&stack, nullptr) != 0) {
    munmap(memory, size);
    return false;
  }
  return true;
}

bool InstallFatalSignalHandlers(FatalSignalHandler handler) {
  if (!EnsureAlternateStack()) return false;
  struct sigaction action{};
  action.sa_sigaction = handler;
  // SA_NODEFER: a fault inside the handler reaches it again, which then
  // gives up on the report instead of the kernel killing the process silently.
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (int signo : kFatalSignals) {
    if (__sigaction(signo, &action, nullptr) != 0) return false;
  }
  g_guarded.store(true, std::memory_order_release);
  return true;
}

void DieBySignal(int signo) {
  struct sigaction fallback{};
  fallback.sa_handler = SIG_DFL;
  sigemptyset(&fallback.sa_mask);
  __sigaction(signo, &fallback, nullptr);
  sigset_t unblock;
  sigemptyset(&unblock);
  sigaddset(&unblock, signo);
  sigprocmask(SIG_UNBLOCK, &unblock, nullptr);
  raise(signo);
  // A signal that the kernel raised for an instruction comes back when the
  // handler returns; SIGABRT and friends are ended here.
  _exit(128 + signo);
}

}  // namespace xtb::os

// Later code that sets its own handler for a fatal signal (a plug-in, a
// runtime) would silence the report; once the handlers are installed such a
// call succeeds and changes nothing, and the previous action it is told about
// is the report's.
extern "C" __attribute__((visibility("default"))) int sigaction(int signo, const struct sigaction* action,
                                                                struct sigaction* previous) {
  if (action != nullptr && xtb::os::IsGuarded(signo)) return __sigaction(signo, nullptr, previous);
  return __sigaction(signo, action, previous);
}

extern "C" __attribute__((visibility("default"))) sighandler_t signal(int signo, sighandler_t handler) {
  struct sigaction previous{};
  if (xtb::os::IsGuarded(signo)) {
    if (__sigaction(signo, nullptr, &previous) != 0) return SIG_ERR;
    return previous.sa_handler;
  }
  struct sigaction action{};
  action.sa_handler = handler;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  if (__sigaction(signo, &action, &previous) != 0) return SIG_ERR;
  return previous.sa_handler;
}
