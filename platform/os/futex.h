// Sleeping on a 32-bit word of the process, the kernel's futex: the waiter
// sleeps only while the word still holds the value it saw, so a change and
// its wake-up are never missed. Spurious returns happen; callers look again.
#pragma once

#include <atomic>
#include <chrono>
#include <thread>
#include <cstdint>

namespace xtb::os {

void FutexWait(std::atomic<uint32_t>& word, uint32_t seen);
void FutexWakeOne(std::atomic<uint32_t>& word);

// Looks at `ready` for up to about `microseconds` before the caller sleeps:
// a hand-over between threads that run on processors of their own usually
// completes within that, without two trips through the scheduler.
// Polls with the processor's pause hint; every 16 rounds it reads the clock
// and offers its processor to other threads: the thread it waits for may
// need it (the pool has as many workers as processors, plus the caller).
template <typename Ready>
bool SpinFor(unsigned microseconds, Ready ready) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(microseconds);
  for (unsigned round = 1;; ++round) {
    if (ready()) return true;
    __builtin_ia32_pause();
    if (round % 16 == 0) {
      if (std::chrono::steady_clock::now() >= deadline) return ready();
      std::this_thread::yield();
    }
  }
}

}  // namespace xtb::os
