#include "mailclock.h"

#include <atomic>
#include <chrono>
#include <string>

#include "os/process.h"
#include "os/sharedfolder.h"
#include "mailfolder.h"

namespace xtb::mail {

namespace {

// The account's last value: the word of its clock file in the mail folder,
// mapped once.
std::atomic<uint64_t>* SharedClock() {
  static std::atomic<uint64_t>* const clock = [] {
    std::string refusal;
    const std::string name = ".mailclock-" + std::to_string(os::EffectiveUserId());
    return os::MapPrivateWord(os::OpenPrivateFile(OpenMailFolder(), name, refusal));
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

}  // namespace xtb::mail
