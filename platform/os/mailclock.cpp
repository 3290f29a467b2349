#include "mailclock.h"

#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>

#include "mailfolder.h"

namespace xtb::os {

namespace {

// The machine's last value: a word of a file in the mail folder, mapped once.
std::atomic<uint64_t>* SharedClock() {
  static std::atomic<uint64_t>* const clock = []() -> std::atomic<uint64_t>* {
    static_assert(std::atomic<uint64_t>::is_always_lock_free);
    std::string refusal;
    const os::Fd file = OpenSharedFile(OpenMailFolder(), ".mailclock", refusal);
    if (!file.IsOpen()) return nullptr;
    const int fd = file.Get();
    // A new file grows to one word; a file already that long keeps its value.
    void* memory = MAP_FAILED;
    if (lseek(fd, 0, SEEK_END) >= static_cast<off_t>(sizeof(uint64_t)) || ftruncate(fd, sizeof(uint64_t)) == 0)
      memory = mmap(nullptr, sizeof(uint64_t), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    return memory == MAP_FAILED ? nullptr : static_cast<std::atomic<uint64_t>*>(memory);
  }();
  return clock;
}

}  // namespace

uint64_t NextMailClock() {
  static std::atomic<uint64_t> processClock{0};
  std::atomic<uint64_t>* clock = SharedClock();
  if (!clock) clock = &processClock;
  const uint64_t now = static_cast<uint64_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
          .count());
  uint64_t last = clock->load(std::memory_order_relaxed);
  uint64_t next;
  do next = last + 1 > now ? last + 1 : now;
  while (!clock->compare_exchange_weak(last, next, std::memory_order_relaxed));
  return next;
}

}  // namespace xtb::os
