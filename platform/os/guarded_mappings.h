// Shared mappings that outlive the truncation of their object. Any account
// that may write a shared object may also truncate it, and an access to a
// mapped page past the object's new end raises SIGBUS, which would end the
// holder. A guarded mapping is instead replaced, at the first such fault, by
// private zero-filled pages of the same size at the same address: the
// faulting access and every later one, the library's and the program's
// alike, then reach that private memory, the mapping is marked cut, and
// nothing more is shared through it. A fault elsewhere goes on to whatever
// handled SIGBUS before (the crash report, or the default action).
#pragma once

#include <csignal>
#include <cstddef>

namespace xtb::os {

// Guards the mapping [base, base + length); false when no slot is free (at
// most 256 mappings at a time) or no handler could be installed.
bool GuardMapping(void* base, size_t length);
// Ends the guard before the mapping is unmapped; waits for a repair under way.
void UnguardMapping(void* base);
// The guarded mapping at `base` was cut and is private memory now.
bool MappingWasCut(const void* base);

// The fatal-signal handlers' part: repairs a fault in a guarded mapping,
// true when it did (the access is retried). Signal-safe.
bool RepairCutMapping(int signo, const siginfo_t* info);

}  // namespace xtb::os
