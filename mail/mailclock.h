// The clock that stamps a mail's id: milliseconds, shared by every process
// of this machine and never handing out a value twice, so that no two mails
// of one workstation carry the same sender and id (a receiver drops the
// second as a repeated delivery).
#pragma once

#include <cstdint>

namespace xtb::mail {

// The next value: the wall clock in milliseconds, or one more than the last
// value given on this machine when that is later. Kept in the mail folder
// (".mailclock"); where that folder cannot be used, the process keeps its own.
uint64_t NextMailClock();

}  // namespace xtb::mail
