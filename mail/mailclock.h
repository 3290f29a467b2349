// The clock that stamps a mail's id: milliseconds, shared by every process
// of this account on this machine and never handing out a value twice, so
// that no two mails of one workstation and account carry the same sender
// and id (a receiver drops the second as a repeated delivery; it keeps the
// ids of each sending account apart, so that accounts need no common clock).
#pragma once

#include <cstdint>

namespace xtb::mail {

// The next value: the wall clock in milliseconds, or one more than the last
// value this account was given when that is later. Kept in the mail folder
// (".mailclock-<user id>", the account's own file, mode 0600, which no
// other account can change or truncate); where that file cannot be had, the
// process keeps its own.
uint64_t NextMailClock();

}  // namespace xtb::mail
