#include "os/signals.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <mutex>

#include "os/guarded_mappings.h"

// The C library's own entry, reached past the interposers below.
extern "C" int __sigaction(int signo, const struct sigaction* action, struct sigaction* previous);

namespace xtb::os {
namespace {

struct FatalSignal {
  int signo;
  const char* name;
};
constexpr FatalSignal kFatalSignals[] = {{SIGSEGV, "SIGSEGV"}, {SIGBUS, "SIGBUS"},   {SIGFPE, "SIGFPE"},
                                         {SIGILL, "SIGILL"},   {SIGABRT, "SIGABRT"}, {SIGTRAP, "SIGTRAP"}};
constexpr int kFatalCount = sizeof kFatalSignals / sizeof kFatalSignals[0];

// Set once the handlers are in place; from then on the interposers refuse.
std::atomic<bool> g_guarded{false};
// The actions in place before the handlers, by position in kFatalSignals.
struct sigaction g_previous[kFatalCount];
std::atomic<RefusalObserver> g_observer{nullptr};
std::atomic<FatalSignalHandler> g_handler{nullptr};
// The SIGBUS action that RepairCutMappingsOnSigbus replaced.
struct sigaction g_beforeRepair;
std::atomic<bool> g_refusalTold[kFatalCount];

// The signal's position in kFatalSignals, or -1.
int FatalIndex(int signo) {
  for (int i = 0; i < kFatalCount; ++i) {
    if (kFatalSignals[i].signo == signo) return i;
  }
  return -1;
}

bool IsGuarded(int signo) { return g_guarded.load(std::memory_order_acquire) && FatalIndex(signo) >= 0; }

// A replacement was refused: the observer hears of the first one per signal.
void TellRefusal(int signo) {
  const int index = FatalIndex(signo);
  const RefusalObserver observer = g_observer.load(std::memory_order_acquire);
  if (observer != nullptr && !g_refusalTold[index].exchange(true)) observer(signo, kFatalSignals[index].name);
}

// Every fatal signal reaches the installed handler through here: a cut
// guarded mapping is repaired first and is no crash.
void Dispatch(int signo, siginfo_t* info, void* context) {
  if (RepairCutMapping(signo, info)) return;
  g_handler.load()(signo, info, context);
}

// SIGBUS without the fatal-signal handlers: what is no repair goes to the
// action that was there before, the default one by resetting it (the fault
// comes back and ends the process as it would have).
void RepairOrPass(int signo, siginfo_t* info, void* context) {
  if (RepairCutMapping(signo, info)) return;
  if ((g_beforeRepair.sa_flags & SA_SIGINFO) != 0 && g_beforeRepair.sa_sigaction != nullptr) {
    g_beforeRepair.sa_sigaction(signo, info, context);
  } else if (g_beforeRepair.sa_handler != SIG_DFL && g_beforeRepair.sa_handler != SIG_IGN &&
             g_beforeRepair.sa_handler != nullptr) {
    g_beforeRepair.sa_handler(signo);
  } else {
    struct sigaction fallback{};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    __sigaction(signo, &fallback, nullptr);
  }
}

}  // namespace

bool RepairCutMappingsOnSigbus() {
  static std::once_flag once;
  static bool installed = false;
  std::call_once(once, [] {
    if (g_guarded.load(std::memory_order_acquire)) {
      installed = true;  // Dispatch asks first
      return;
    }
    struct sigaction action{};
    action.sa_sigaction = RepairOrPass;
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    installed = __sigaction(SIGBUS, &action, &g_beforeRepair) == 0;
  });
  return installed;
}

bool InstallFatalSignalHandlers(FatalSignalHandler handler) {
  if (!EnsureAlternateStack()) return false;
  g_handler.store(handler);
  struct sigaction action{};
  action.sa_sigaction = Dispatch;
  // SA_NODEFER: a fault inside the handler reaches it again, which then
  // gives up on the report instead of the kernel killing the process silently.
  action.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < kFatalCount; ++i) {
    if (__sigaction(kFatalSignals[i].signo, &action, &g_previous[i]) != 0) return false;
  }
  g_guarded.store(true, std::memory_order_release);
  return true;
}

void ObserveRefusedHandlers(RefusalObserver observer) { g_observer.store(observer, std::memory_order_release); }

void RunPreviousAction(int signo, siginfo_t* info, void* context) {
  const int index = FatalIndex(signo);
  if (index < 0) return;
  const struct sigaction& previous = g_previous[index];
  if ((previous.sa_flags & SA_SIGINFO) != 0) {
    if (previous.sa_sigaction != nullptr) previous.sa_sigaction(signo, info, context);
  } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN && previous.sa_handler != nullptr) {
    previous.sa_handler(signo);
  }
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
// call succeeds and changes nothing, the previous action it is told about is
// the report's, and the first refusal per signal is told to the observer.
// Reading the action (no new one) is never refused.
extern "C" __attribute__((visibility("default"))) int sigaction(int signo, const struct sigaction* action,
                                                                struct sigaction* previous) {
  if (action != nullptr && xtb::os::IsGuarded(signo)) {
    xtb::os::TellRefusal(signo);
    return __sigaction(signo, nullptr, previous);
  }
  return __sigaction(signo, action, previous);
}

extern "C" __attribute__((visibility("default"))) sighandler_t signal(int signo, sighandler_t handler) {
  struct sigaction previous{};
  if (xtb::os::IsGuarded(signo)) {
    xtb::os::TellRefusal(signo);
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
