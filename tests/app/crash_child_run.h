// Runs crash_child in a folder of its own and collects what it left.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

inline std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Whether `path` is an ELF file (a dump). Only its head is read: a dump of
// a sanitized program maps hundreds of megabytes of holes.
inline bool IsElfFile(const std::filesystem::path& path) {
  char head[4] = {};
  std::ifstream in(path, std::ios::binary);
  return in.read(head, sizeof head) && std::string(head, 4) == "\x7f" "ELF";
}

inline long long MonotonicMs() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<long long>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

struct ChildRun {
  int status = 0;
  std::string output;          // standard output and error
  long long reportMs = -1;     // from the crash to the child's end
};

// A scratch folder, removed at the end of the test.
class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "xtb-crash-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  const std::filesystem::path& path() const { return m_path; }

 private:
  std::filesystem::path m_path;
};

// With `beforeFault`, the child waits after installing the report until
// beforeFault(its pid) has run, then fails.
inline ChildRun RunChild(const std::vector<std::string>& arguments,
                         const std::function<void(pid_t)>& beforeFault = {},
                         const char* program = XTB_CRASH_CHILD) {
  ChildRun run;
  int out[2], in[2];
  if (pipe(out) != 0) return run;
  if (pipe(in) != 0) {
    close(out[0]);
    close(out[1]);
    return run;
  }
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], 1);
    dup2(out[1], 2);
    dup2(in[0], 0);
    close(out[0]);
    close(out[1]);
    close(in[0]);
    close(in[1]);
    setenv("XTBASIS_CRASH_HELPER", XTB_CRASH_HELPER, 1);
    if (beforeFault) setenv("XTB_CRASH_CHILD_WAIT", "1", 1);
    std::vector<char*> argv{const_cast<char*>(program)};
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(126);
  }
  close(out[1]);
  close(in[0]);
  if (beforeFault) {
    beforeFault(pid);
    // A child that ended before reading it must not take the test along.
    signal(SIGPIPE, SIG_IGN);
    (void)!write(in[1], "g", 1);
  }
  close(in[1]);
  char buffer[4096];
  for (ssize_t got; (got = read(out[0], buffer, sizeof buffer)) > 0;) run.output.append(buffer, static_cast<size_t>(got));
  close(out[0]);
  waitpid(pid, &run.status, 0);
  const long long ended = MonotonicMs();
  const size_t at = run.output.find("crash-at ");
  if (at != std::string::npos) run.reportMs = ended - std::atoll(run.output.c_str() + at + 9);
  return run;
}
