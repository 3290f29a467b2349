// The other threads of a process held still while it is dumped from
// outside (the crash helper's dump of a crashed or a running program): each
// is seized with ptrace (the program allowed its helper to, see
// helper_process.h) and interrupted, and its registers are read, so that
// the dump shows every thread where it stood and no thread changes memory
// while it is copied. They run on when the object goes, or when the helper
// ends. A thread the system does not let stop (it ended meanwhile, tracing
// is refused) is left out.
#pragma once

#include <sys/types.h>
#include <sys/user.h>

#include <vector>

namespace xtb::os {

struct ThreadRegisters {
  pid_t tid = 0;
  user_regs_struct registers{};
};

class StoppedThreads {
 public:
  // Stops every thread of `pid` but `except` (the one that asked for the
  // dump, which waits for it anyway and whose registers the dump takes from
  // its signal context).
  StoppedThreads(pid_t pid, pid_t except);
  ~StoppedThreads();
  StoppedThreads(const StoppedThreads&) = delete;
  StoppedThreads& operator=(const StoppedThreads&) = delete;

  const std::vector<ThreadRegisters>& Threads() const { return m_threads; }

 private:
  std::vector<pid_t> m_seized;
  std::vector<ThreadRegisters> m_threads;
};

}  // namespace xtb::os
