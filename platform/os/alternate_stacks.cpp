// Alternate signal stacks for every thread. A thread that overflows its
// stack can only be reported from a stack of its own, and a handler cannot
// make one after the fault: so each thread gets it as it starts. The
// library's pthread_create stands in front of the C library's (as its
// sigaction does) and starts each new thread in a trampoline that maps the
// stack, hands it to the kernel and gives it back when the thread ends.
// Threads made past pthread_create (a raw clone) get none.
//
// Under a sanitizer the runtime's own pthread_create comes first and gives
// its threads their stacks; the trampoline would run before the runtime
// knows the thread, so it is left out there.
#include <dlfcn.h>
#include <pthread.h>
#include <signal.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "os/signals.h"

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define XTB_SANITIZER_THREADS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define XTB_SANITIZER_THREADS 1
#endif
#endif

namespace xtb::os {
namespace {

// Enough for the crash handler, which hands the crash on to the helper; a
// guard page below it turns an overflow of the handler into a fault the
// kernel ends the process for, never a write into other memory.
constexpr size_t kStackBytes = 64 * 1024;

size_t PageBytes() {
  static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  return page;
}

// Maps a stack with its guard page and makes it the calling thread's;
// null when the thread has one already or none can be made.
void* InstallOwnStack() {
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0) return nullptr;
  const size_t guard = PageBytes();
  void* mapping = mmap(nullptr, guard + kStackBytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK,
                       -1, 0);
  if (mapping == MAP_FAILED) return nullptr;
  mprotect(mapping, guard, PROT_NONE);
  stack_t stack{};
  stack.ss_sp = static_cast<char*>(mapping) + guard;
  stack.ss_size = kStackBytes;
  if (sigaltstack(&stack, nullptr) != 0) {
    munmap(mapping, guard + kStackBytes);
    return nullptr;
  }
  return mapping;
}

#ifndef XTB_SANITIZER_THREADS

// At the thread's end: the stack is taken from the kernel before it is
// unmapped, unless the thread's own code has put another in its place.
void ReleaseOwnStack(void* mapping) {
  const size_t guard = PageBytes();
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && current.ss_sp == static_cast<char*>(mapping) + guard) {
    stack_t off{};
    off.ss_flags = SS_DISABLE;
    sigaltstack(&off, nullptr);
  }
  munmap(mapping, guard + kStackBytes);
}

pthread_key_t g_ownStackKey;
pthread_once_t g_ownStackKeyOnce = PTHREAD_ONCE_INIT;

void MakeOwnStackKey() { pthread_key_create(&g_ownStackKey, ReleaseOwnStack); }

struct ThreadStart {
  void* (*routine)(void*);
  void* argument;
};

void* StartWithOwnStack(void* handOver) {
  const ThreadStart start = *static_cast<ThreadStart*>(handOver);
  std::free(handOver);
  if (void* mapping = InstallOwnStack()) pthread_setspecific(g_ownStackKey, mapping);
  return start.routine(start.argument);
}

using CreateThread = int (*)(pthread_t*, const pthread_attr_t*, void* (*)(void*), void*);

CreateThread TheLibrarysCreate() {
  static const CreateThread create = reinterpret_cast<CreateThread>(dlsym(RTLD_NEXT, "pthread_create"));
  return create;
}

#endif

}  // namespace

bool EnsureAlternateStack() {
  stack_t current{};
  if (sigaltstack(nullptr, &current) == 0 && (current.ss_flags & SS_DISABLE) == 0) return true;
  // The installing thread's stack stays for the life of the process.
  return InstallOwnStack() != nullptr;
}

}  // namespace xtb::os

#ifndef XTB_SANITIZER_THREADS

extern "C" __attribute__((visibility("default"))) int pthread_create(pthread_t* thread, const pthread_attr_t* attributes,
                                                                     void* (*routine)(void*), void* argument) {
  using namespace xtb::os;
  const CreateThread create = TheLibrarysCreate();
  if (create == nullptr) return EAGAIN;
  pthread_once(&g_ownStackKeyOnce, MakeOwnStackKey);
  // Without memory for the hand-over the thread starts as the C library
  // would start it, without a stack of its own.
  auto* start = static_cast<ThreadStart*>(std::malloc(sizeof(ThreadStart)));
  if (start == nullptr) return create(thread, attributes, routine, argument);
  *start = ThreadStart{routine, argument};
  const int result = create(thread, attributes, StartWithOwnStack, start);
  if (result != 0) std::free(start);
  return result;
}

#endif
