#include "child_processes.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "systempath.h"

extern char** environ;

namespace xtb::os {

namespace {

std::vector<char*> PointersOf(const std::vector<std::string>& texts) {
  std::vector<char*> out;
  out.reserve(texts.size() + 1);
  for (const std::string& text : texts) out.push_back(const_cast<char*>(text.c_str()));
  out.push_back(nullptr);
  return out;
}

// The child's descriptors, folder and session, set up by posix_spawn
// itself between its clone and the exec.
class SpawnSetup {
 public:
  SpawnSetup() {
    posix_spawn_file_actions_init(&m_actions);
    posix_spawnattr_init(&m_attributes);
  }
  ~SpawnSetup() {
    posix_spawn_file_actions_destroy(&m_actions);
    posix_spawnattr_destroy(&m_attributes);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  int Prepare(const ChildLaunch& launch, const std::string& folder) {
    for (int target = 0; target < 3; ++target) {
      const int source = launch.standardStreams[target];
      int result = 0;
      if (source >= 0) {
        result = posix_spawn_file_actions_adddup2(&m_actions, source, target);
      } else if (launch.nullStreams) {
        result = posix_spawn_file_actions_addopen(&m_actions, target, "/dev/null", target == 0 ? O_RDONLY : O_WRONLY, 0);
      }
      if (result != 0) return result;
    }
    if (!folder.empty()) {
      if (int result = posix_spawn_file_actions_addchdir_np(&m_actions, folder.c_str()); result != 0) return result;
    }
    // The child starts with every signal at its default and none blocked,
    // whatever the caller ignores or blocks.
    sigset_t all, none;
    sigfillset(&all);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&m_attributes, &all);
    posix_spawnattr_setsigmask(&m_attributes, &none);
    short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
    if (launch.ownSession) flags |= POSIX_SPAWN_SETSID;
    return posix_spawnattr_setflags(&m_attributes, flags);
  }

  const posix_spawn_file_actions_t* Actions() const { return &m_actions; }
  const posix_spawnattr_t* Attributes() const { return &m_attributes; }

 private:
  posix_spawn_file_actions_t m_actions;
  posix_spawnattr_t m_attributes;
};

// The child's side of ForkChild, in the forked copy of a process that may
// have other threads: only calls that take no lock, up to the exec. What
// fails is written to `report` as an errno.
[[noreturn]] void BecomeChild(const ChildLaunch& launch, pid_t starter, const std::string& program,
                              const std::string& folder, char* const argv[], char* const envp[], int report) {
  // Set before the starter is looked at: a starter that ended in between
  // is seen gone, and one that ends later sends the signal.
  int error = prctl(PR_SET_PDEATHSIG, SIGKILL) == 0 ? 0 : errno;
  if (error == 0 && getppid() != starter) error = ESRCH;
  for (int target = 0; target < 3 && error == 0; ++target) {
    int source = launch.standardStreams[target];
    if (source < 0 && !launch.nullStreams) continue;  // the caller's own
    if (source < 0 && (source = open("/dev/null", (target == 0 ? O_RDONLY : O_WRONLY) | O_CLOEXEC)) < 0) {
      error = errno;
      break;
    }
    // dup2 onto itself would keep the close-on-exec flag.
    const bool done = source == target ? fcntl(target, F_SETFD, 0) == 0 : dup2(source, target) == target;
    if (!done) error = errno;
  }
  if (error == 0 && !folder.empty() && chdir(folder.c_str()) != 0) error = errno;
  // Every signal at its default and none blocked, as a spawned child has them.
  struct sigaction plain {};
  plain.sa_handler = SIG_DFL;
  for (int signal = 1; signal < NSIG && error == 0; ++signal) sigaction(signal, &plain, nullptr);
  sigset_t none;
  sigemptyset(&none);
  if (error == 0 && sigprocmask(SIG_SETMASK, &none, nullptr) != 0) error = errno;
  if (error == 0 && launch.ownSession && setsid() < 0) error = errno;
  if (error == 0) {
    execve(program.c_str(), argv, envp);
    error = errno;
  }
  while (write(report, &error, sizeof error) < 0 && errno == EINTR) {
  }
  _exit(127);
}

// Starts the child by fork and exec, for a child that must end with its
// starter (posix_spawn has no step for that). 0 with `id`, else the errno
// of what failed, the child then reaped.
int ForkChild(const ChildLaunch& launch, const std::string& program, const std::string& folder, char* const argv[],
              char* const envp[], pid_t& id) {
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) return errno;
  const pid_t starter = getpid();
  id = fork();
  if (id == 0) BecomeChild(launch, starter, program, folder, argv, envp, report[1]);
  const int forkError = errno;
  close(report[1]);
  // The report's end closes with the exec: nothing to read means it ran.
  int error = 0;
  ssize_t got = 0;
  if (id > 0) {
    do got = read(report[0], &error, sizeof error);
    while (got < 0 && errno == EINTR);
  }
  close(report[0]);
  if (id < 0) return forkError;
  if (got == static_cast<ssize_t>(sizeof error)) {
    while (waitpid(id, nullptr, 0) < 0 && errno == EINTR) {
    }
    return error;
  }
  return 0;
}

}  // namespace

int LaunchChild(const ChildLaunch& launch, Child& child) {
  const std::string program = SystemPath(launch.program);
  const std::string folder = SystemPath(launch.folder);
  if (!folder.empty() && !IsFolder(folder)) return errno;
  std::vector<char*> argv = PointersOf(launch.arguments);
  std::vector<char*> envp;
  if (launch.environment != nullptr) envp = PointersOf(*launch.environment);
  char* const* const environment = launch.environment != nullptr ? envp.data() : environ;
  pid_t id = -1;
  if (launch.endsWithStarter) {
    if (int result = ForkChild(launch, program, folder, argv.data(), environment, id); result != 0) return result;
  } else {
    SpawnSetup setup;
    if (int result = setup.Prepare(launch, folder); result != 0) return result;
    if (int result = posix_spawn(&id, program.c_str(), setup.Actions(), setup.Attributes(), argv.data(), environment);
        result != 0)
      return result;
  }
  // The child cannot be reaped by anyone else meanwhile, so its id still
  // names it here.
  // Through syscall(): the C library's own wrappers lack C linkage here.
  const int pidfd = static_cast<int>(syscall(SYS_pidfd_open, id, 0));
  if (pidfd < 0) {
    const int error = errno;
    kill(id, SIGKILL);
    while (waitpid(id, nullptr, 0) < 0 && errno == EINTR) {
    }
    return error;
  }
  child.id = id;
  child.pidfd = pidfd;
  return 0;
}

void AwaitChildEnd(const Child& child, int& code, bool& signalled) {
  siginfo_t info{};
  int result;
  do {
    result = waitid(P_PIDFD, static_cast<id_t>(child.pidfd), &info, WEXITED);
  } while (result < 0 && errno == EINTR);
  code = 0;
  signalled = false;
  if (result < 0) return;  // reaped by the system (SIGCHLD ignored): nothing known
  signalled = info.si_code == CLD_KILLED || info.si_code == CLD_DUMPED;
  code = info.si_status;
}

bool KillChild(const Child& child) { return syscall(SYS_pidfd_send_signal, child.pidfd, SIGKILL, nullptr, 0) == 0; }

void ReleaseChild(Child& child) {
  if (child.pidfd >= 0) close(child.pidfd);
  child.pidfd = -1;
}

bool IsRegularFile(const std::string& path, bool executable) {
  const std::string system = SystemPath(path);
  struct stat facts {};
  if (stat(system.c_str(), &facts) != 0) return false;
  if (!S_ISREG(facts.st_mode)) {
    errno = EACCES;
    return false;
  }
  return !executable || access(system.c_str(), X_OK) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat facts {};
  if (stat(SystemPath(path).c_str(), &facts) != 0) return false;
  if (!S_ISDIR(facts.st_mode)) {
    errno = ENOTDIR;
    return false;
  }
  return true;
}

void EndProcessNow(int code) { _exit(code); }

}  // namespace xtb::os
