#include "guarded_mappings.h"

#include <sys/mman.h>

#include <atomic>
#include <cstdint>

#include "signals.h"

namespace xtb::os {
namespace {

enum SlotState : int { kFree, kClaimed, kGuarded, kCut };

struct Slot {
  std::atomic<int> state{kFree};
  std::atomic<uintptr_t> base{0};
  std::atomic<size_t> length{0};
};

constexpr int kSlots = 256;
Slot g_slots[kSlots];
// Handlers between their first look at the slots and their return: a guard
// is ended only when none is left that might still remap its range.
std::atomic<int> g_repairing{0};

Slot* SlotAt(const void* base) {
  const auto address = reinterpret_cast<uintptr_t>(base);
  for (Slot& slot : g_slots) {
    const int state = slot.state.load();
    if ((state == kGuarded || state == kCut) && slot.base.load() == address) return &slot;
  }
  return nullptr;
}

}  // namespace

bool GuardMapping(void* base, size_t length) {
  if (!RepairCutMappingsOnSigbus()) return false;
  for (Slot& slot : g_slots) {
    int expected = kFree;
    if (!slot.state.compare_exchange_strong(expected, kClaimed)) continue;
    slot.base.store(reinterpret_cast<uintptr_t>(base));
    slot.length.store(length);
    slot.state.store(kGuarded);
    return true;
  }
  return false;
}

void UnguardMapping(void* base) {
  Slot* slot = SlotAt(base);
  if (slot == nullptr) return;
  slot->state.store(kClaimed);
  while (g_repairing.load() != 0) {
  }
  slot->base.store(0);
  slot->length.store(0);
  slot->state.store(kFree);
}

bool MappingWasCut(const void* base) {
  const Slot* slot = SlotAt(base);
  return slot != nullptr && slot->state.load() == kCut;
}

bool RepairCutMapping(int signo, const siginfo_t* info) {
  if (signo != SIGBUS || info == nullptr) return false;
  g_repairing.fetch_add(1);
  const auto address = reinterpret_cast<uintptr_t>(info->si_addr);
  bool repaired = false;
  for (Slot& slot : g_slots) {
    int state = slot.state.load();
    const uintptr_t base = slot.base.load();
    const size_t length = slot.length.load();
    if ((state != kGuarded && state != kCut) || address < base || address - base >= length) continue;
    // The first thread to fault replaces the pages; another one that faulted
    // meanwhile retries its access and finds them.
    if (state == kGuarded && slot.state.compare_exchange_strong(state, kCut))
      repaired = mmap(reinterpret_cast<void*>(base), length, PROT_READ | PROT_WRITE,
                      MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0) != MAP_FAILED;
    else
      repaired = state == kCut;
    break;
  }
  g_repairing.fetch_sub(1);
  return repaired;
}

}  // namespace xtb::os
