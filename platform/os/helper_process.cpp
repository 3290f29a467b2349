#include "os/helper_process.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

extern char** environ;

namespace xtb::os {

pid_t StartHelper(const char* path, char* const argv[], int inputFd) {
  // The raw system call: the C library's fork() runs the process's fork
  // handlers and takes its locks, which a crashed process may hold.
  const long pid = syscall(SYS_clone, SIGCHLD, 0, nullptr, nullptr, 0);
  if (pid != 0) return static_cast<pid_t>(pid);
  // dup2 clears close-on-exec; a pipe that already is descriptor 0 gets it cleared here.
  if (inputFd != 0 ? dup2(inputFd, 0) < 0 : fcntl(0, F_SETFD, 0) != 0) _exit(127);
  // The helper starts with the default actions, nothing blocked.
  sigset_t none;
  sigemptyset(&none);
  sigprocmask(SIG_SETMASK, &none, nullptr);
  execve(path, argv, environ);
  _exit(127);
}

void AllowReadingBy(pid_t pid) { prctl(PR_SET_PTRACER, static_cast<unsigned long>(pid), 0, 0, 0); }

int WaitForHelper(pid_t pid, int timeoutMs) {
  timespec step{0, 5 * 1000 * 1000};
  for (int waited = 0;; waited += 5) {
    int status = 0;
    const pid_t done = waitpid(pid, &status, WNOHANG);
    if (done == pid) return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (done < 0 && errno != EINTR) return -1;
    if (waited >= timeoutMs) {
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return -1;
    }
    nanosleep(&step, nullptr);
  }
}

bool MakePipe(int fds[2]) { return pipe2(fds, O_CLOEXEC) == 0; }

}  // namespace xtb::os
