// Children that end with their starter (os::ChildLaunch::endsWithStarter):
// killed when the starting thread or process ends, however it ends, also
// past a program that execs another in its place; started with the same
// streams, folder and failures as a spawned child.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "os/child_processes.h"

namespace {

using std::chrono::steady_clock;

xtb::os::ChildLaunch Shell(const std::string& command) {
  xtb::os::ChildLaunch launch;
  launch.program = "/bin/sh";
  launch.arguments = {"sh", "-c", command};
  launch.endsWithStarter = true;
  return launch;
}

// Whether the process `id` has ended (gone, or a zombie nobody reaped yet).
bool Ended(pid_t id) {
  std::ifstream stat("/proc/" + std::to_string(id) + "/stat");
  std::string pid, name, state;
  return !(stat >> pid >> name >> state) || state == "Z";
}

bool EndsWithin(pid_t id, std::chrono::milliseconds limit) {
  for (const auto until = steady_clock::now() + limit; steady_clock::now() < until;) {
    if (Ended(id)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return Ended(id);
}

TEST(OsChildEnd, ChildEndsWithTheThreadThatStartedIt) {
  // Through an exec of another program in its place, as `ip netns exec` does.
  xtb::os::Child child;
  int started = -1;
  std::thread([&] { started = xtb::os::LaunchChild(Shell("exec sleep 20"), child); }).join();
  ASSERT_EQ(started, 0) << std::strerror(started);
  int code = 0;
  bool signalled = false;
  const auto start = steady_clock::now();
  xtb::os::AwaitChildEnd(child, code, signalled);
  xtb::os::ReleaseChild(child);
  EXPECT_TRUE(signalled) << "the child outlived its starter and ended by itself with " << code;
  EXPECT_EQ(code, SIGKILL);
  EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(OsChildEnd, ChildEndsWithAStarterKilledOutright) {
  int said[2];
  ASSERT_EQ(pipe(said), 0);
  const pid_t starter = fork();
  ASSERT_GE(starter, 0) << std::strerror(errno);
  if (starter == 0) {
    xtb::os::Child child;
    const pid_t id = xtb::os::LaunchChild(Shell("exec sleep 20"), child) == 0 ? child.id : -1;
    (void)!write(said[1], &id, sizeof id);
    pause();
    _exit(0);
  }
  close(said[1]);
  pid_t grandchild = -1;
  const bool told = read(said[0], &grandchild, sizeof grandchild) == static_cast<ssize_t>(sizeof grandchild);
  close(said[0]);
  kill(starter, SIGKILL);
  waitpid(starter, nullptr, 0);
  ASSERT_TRUE(told && grandchild > 0) << "the starter could not start its child";
  EXPECT_TRUE(EndsWithin(grandchild, std::chrono::seconds(5))) << "the child outlived a starter killed with SIGKILL";
  if (!Ended(grandchild)) kill(grandchild, SIGKILL);
}

TEST(OsChildEnd, StreamsFolderAndFailuresAsForASpawnedChild) {
  int out[2];
  ASSERT_EQ(pipe(out), 0);
  xtb::os::ChildLaunch launch = Shell("pwd; read line; echo \"[$line]\"; echo err >&2");
  launch.folder = "/usr";
  launch.standardStreams[1] = out[1];
  launch.nullStreams = true;  // no input: the read ends at once; errors vanish
  xtb::os::Child child;
  ASSERT_EQ(xtb::os::LaunchChild(launch, child), 0);
  close(out[1]);
  std::string text;
  char buffer[256];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(n));
  close(out[0]);
  int code = -1;
  bool signalled = true;
  xtb::os::AwaitChildEnd(child, code, signalled);
  xtb::os::ReleaseChild(child);
  EXPECT_EQ(text, "/usr\n[]\n");
  EXPECT_FALSE(signalled);
  EXPECT_EQ(code, 0);

  xtb::os::ChildLaunch missing = Shell("");
  missing.program = "/no/such/program";
  EXPECT_EQ(xtb::os::LaunchChild(missing, child), ENOENT);
  xtb::os::ChildLaunch notRunnable = Shell("");
  notRunnable.program = "/usr";  // a folder
  EXPECT_EQ(xtb::os::LaunchChild(notRunnable, child), EACCES);
  EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1) << "a child that could not run was left unreaped";
  EXPECT_EQ(errno, ECHILD);
}

}  // namespace
