#include "programs.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "environment.h"
#include "file.h"

namespace xtb::os {

namespace {

std::vector<char*> ArgvOf(const std::vector<std::string>& argv) {
  std::vector<char*> out;
  for (const std::string& a : argv) out.push_back(const_cast<char*>(a.c_str()));
  out.push_back(nullptr);
  return out;
}

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

int WaitFor(pid_t pid) {
  int status = 0;
  while (waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return -1;
  }
  return ExitCodeOf(status);
}

// Only async-signal-safe calls between fork() and exec.
[[noreturn]] void ExecChild(const std::string& path, char* const* argv, int errorFd) {
  signal(SIGPIPE, SIG_DFL);
  execv(path.c_str(), argv);
  const int error = errno;
  (void)!write(errorFd, &error, sizeof error);
  _exit(127);
}

// Forks and execs; the close-on-exec pipe reports an exec failure.
ProgramRun Start(const std::vector<std::string>& argv, int stdinFd, int outFd, pid_t& pid) {
  ProgramRun run;
  if (argv.empty()) {
    run.output = "no program given";
    return run;
  }
  const std::string path = argv[0].find('/') == std::string::npos ? FindOnPath(argv[0]) : argv[0];
  if (path.empty()) {
    run.output = argv[0] + ": not found";
    return run;
  }
  int report[2];
  if (pipe2(report, O_CLOEXEC) != 0) {
    run.output = std::strerror(errno);
    return run;
  }
  std::vector<char*> args = ArgvOf(argv);
  pid = fork();
  if (pid == 0) {
    close(report[0]);
    if (stdinFd >= 0) dup2(stdinFd, 0);
    if (outFd >= 0) {
      dup2(outFd, 1);
      dup2(outFd, 2);
    }
    ExecChild(path, args.data(), report[1]);
  }
  close(report[1]);
  if (pid < 0) {
    run.output = std::strerror(errno);
    close(report[0]);
    return run;
  }
  int error = 0;
  const long got = ReadFull(report[0], &error, sizeof error);
  close(report[0]);
  if (got == static_cast<long>(sizeof error)) {
    run.output = path + ": " + std::strerror(error);
    run.exitCode = WaitFor(pid);
    return run;
  }
  run.started = true;
  return run;
}

}  // namespace

ProgramRun RunCaptured(const std::vector<std::string>& argv, const std::string& input) {
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0) return ProgramRun{false, -1, std::strerror(errno)};
  if (pipe2(out, O_CLOEXEC) != 0) {
    close(in[0]);
    close(in[1]);
    return ProgramRun{false, -1, std::strerror(errno)};
  }
  pid_t pid = -1;
  ProgramRun run = Start(argv, in[0], out[1], pid);
  close(in[0]);
  close(out[1]);
  if (run.started) {
    // A child that stops reading early must not kill us with SIGPIPE.
    struct sigaction ignore {}, previous {};
    ignore.sa_handler = SIG_IGN;
    sigaction(SIGPIPE, &ignore, &previous);
    WriteFull(in[1], input.data(), input.size());
    close(in[1]);
    sigaction(SIGPIPE, &previous, nullptr);
    char buffer[4096];
    for (;;) {
      const long n = ReadFull(out[0], buffer, sizeof buffer);
      if (n <= 0) break;
      run.output.append(buffer, static_cast<size_t>(n));
      if (n < static_cast<long>(sizeof buffer)) break;
    }
    run.exitCode = WaitFor(pid);
  } else {
    close(in[1]);
  }
  close(out[0]);
  return run;
}

ProgramRun RunOnTerminal(const std::vector<std::string>& argv) {
  pid_t pid = -1;
  ProgramRun run = Start(argv, -1, -1, pid);
  if (run.started) run.exitCode = WaitFor(pid);
  return run;
}

std::vector<std::string> PathFolders() {
  const char* path = EnvironmentValue("PATH");
  const std::string list = path ? path : kSystemSearchPath;
  std::vector<std::string> folders;
  for (size_t from = 0;;) {
    const size_t colon = list.find(':', from);
    folders.push_back(list.substr(from, colon == std::string::npos ? std::string::npos : colon - from));
    if (colon == std::string::npos) return folders;
    from = colon + 1;
  }
}

std::string FindOnPath(const std::string& name) {
  for (const std::string& folder : PathFolders()) {
    const std::string candidate = (folder.empty() ? std::string(".") : folder) + "/" + name;
    struct stat facts {};
    if (stat(candidate.c_str(), &facts) == 0 && S_ISREG(facts.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return {};
}

std::string OwnExecutable() {
  char buffer[4096];
  const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::vector<std::string> OwnArguments() {
  std::string all;
  ReadWholeFile("/proc/self/cmdline", all);
  std::vector<std::string> args;
  size_t from = 0;
  while (from < all.size()) {
    const size_t end = all.find('\0', from);
    args.push_back(all.substr(from, end - from));
    if (end == std::string::npos) break;
    from = end + 1;
  }
  return args;
}

}  // namespace xtb::os
