// A child process of a test, started from an argument list, with its
// standard output readable line by line; killed and reaped when the object
// goes, and killed by the system when the thread that started it ends, so
// that a test program that aborts or is killed leaves no child (a router
// among them) behind.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "os/child_processes.h"

class ChildProcess {
 public:
  explicit ChildProcess(const std::vector<std::string>& argv) {
    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) return;
    xtb::os::ChildLaunch launch;
    launch.program = argv.at(0);
    launch.arguments = argv;
    launch.standardStreams[1] = out[1];
    launch.endsWithStarter = true;
    if (xtb::os::LaunchChild(launch, m_child) != 0) m_child = {};
    close(out[1]);
    m_out = fdopen(out[0], "r");
  }
  ~ChildProcess() {
    Kill();
    if (m_out) std::fclose(m_out);
  }
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // The next line of its output, without the line end; empty at the end.
  std::string ReadLine() {
    char line[4096];
    if (!m_out || !std::fgets(line, sizeof line, m_out)) return {};
    std::string text(line);
    if (!text.empty() && text.back() == '\n') text.pop_back();
    return text;
  }
  pid_t pid() const { return m_child.id; }
  // Kills it with SIGKILL, so that it closes nothing itself, and reaps it.
  void Kill() {
    if (m_child.id <= 0) return;
    xtb::os::KillChild(m_child);
    Wait();
  }
  // Waits for its end; its exit code, or -1 when it was killed.
  int Wait() {
    if (m_child.id <= 0) return -1;
    int code = 0;
    bool signalled = false;
    xtb::os::AwaitChildEnd(m_child, code, signalled);
    xtb::os::ReleaseChild(m_child);
    m_child = {};
    return signalled ? -1 : code;
  }

 private:
  xtb::os::Child m_child;
  FILE* m_out = nullptr;
};
