#include "desktop_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <thread>

extern char** environ;

namespace desktop {
namespace {

using Clock = std::chrono::steady_clock;

// A window takes the focus, and a text field takes typed text, a moment
// before GTK is ready for the next keys; keys sent earlier may go astray.
constexpr milliseconds kSettle(150);

std::vector<std::string> MergedEnvironment(const std::vector<std::string>& changes) {
  std::vector<std::string> result;
  for (char** entry = environ; *entry; ++entry) result.emplace_back(*entry);
  for (const std::string& change : changes) {
    const std::string name = change.substr(0, change.find('='));
    std::erase_if(result, [&](const std::string& entry) { return entry.compare(0, name.size() + 1, name + "=") == 0; });
    if (change.find('=') != std::string::npos) result.push_back(change);
  }
  return result;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& text : strings) pointers.push_back(text.data());
  pointers.push_back(nullptr);
  return pointers;
}

int RemainingMs(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                           const std::string& errorFile) {
  std::vector<std::string> argv = arguments;
  std::vector<std::string> envp = MergedEnvironment(environment);
  int pipeFds[2];
  if (pipe2(pipeFds, O_CLOEXEC) != 0) return;
  // posix_spawn, not fork: copying a sanitized test process is slow.
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  posix_spawn_file_actions_addopen(&actions, 2, errorFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  pid_t pid = -1;
  if (posix_spawnp(&pid, argv[0].c_str(), &actions, nullptr, Pointers(argv).data(), Pointers(envp).data()) == 0)
    m_pid = pid;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  m_output = pipeFds[0];
}

ChildProcess::~ChildProcess() {
  if (Running()) {
    kill(m_pid, SIGKILL);
    waitpid(m_pid, nullptr, 0);
  }
  if (m_output >= 0) close(m_output);
}

std::string ChildProcess::ReadLine(milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  for (;;) {
    const size_t end = m_buffer.find('\n');
    if (end != std::string::npos) {
      std::string line = m_buffer.substr(0, end);
      m_buffer.erase(0, end + 1);
      return line;
    }
    pollfd ready{m_output, POLLIN, 0};
    if (m_output < 0 || poll(&ready, 1, RemainingMs(deadline)) <= 0) return "<timeout>";
    char chunk[256];
    const ssize_t n = read(m_output, chunk, sizeof chunk);
    if (n <= 0) return "<end>";
    m_buffer.append(chunk, static_cast<size_t>(n));
  }
}

bool ChildProcess::Running() {
  if (m_pid <= 0 || m_status >= 0) return false;
  int status = 0;
  if (waitpid(m_pid, &status, WNOHANG) != m_pid) return true;
  m_status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return false;
}

int ChildProcess::Wait(milliseconds timeout) {
  const auto deadline = Clock::now() + timeout;
  while (Running()) {
    if (Clock::now() >= deadline) {
      kill(m_pid, SIGKILL);
      waitpid(m_pid, nullptr, 0);
      m_status = 255;
      return -1;
    }
    std::this_thread::sleep_for(milliseconds(10));
  }
  return m_status;
}

VirtualDisplay::VirtualDisplay() {
  char folder[] = "/tmp/xtb-desktop-XXXXXX";
  if (!mkdtemp(folder)) return;
  m_folder = folder;
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return;
  std::vector<std::string> argv{
      "Xvfb", "-displayfd", std::to_string(pipeFds[1]), "-nolisten", "tcp", "-noreset", "-screen", "0", "800x600x24"};
  std::vector<std::string> envp = MergedEnvironment({});
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
  if (posix_spawnp(&m_server, "Xvfb", &actions, nullptr, Pointers(argv).data(), Pointers(envp).data()) != 0)
    m_server = -1;
  posix_spawn_file_actions_destroy(&actions);
  close(pipeFds[1]);
  // Xvfb writes the number of the display it took once it accepts clients,
  // and the line end in a second write: closing the pipe before that ends it.
  const auto deadline = Clock::now() + milliseconds(5000);
  std::string number;
  pollfd ready{pipeFds[0], POLLIN, 0};
  char ch = 0;
  while (m_server > 0 && poll(&ready, 1, RemainingMs(deadline)) > 0 && read(pipeFds[0], &ch, 1) == 1 && ch != '\n')
    number += ch;
  if (ch == '\n' && !number.empty()) m_name = ":" + number;
  close(pipeFds[0]);
}

VirtualDisplay::~VirtualDisplay() {
  Stop();
  if (m_numberHold >= 0) close(m_numberHold);
  if (!m_folder.empty()) {
    std::error_code ignored;
    std::filesystem::remove_all(m_folder, ignored);
  }
}

void VirtualDisplay::Stop() {
  if (m_server <= 0) return;
  kill(m_server, SIGTERM);  // Xvfb closes its clients' connections and removes its lock file
  waitpid(m_server, nullptr, 0);
  m_server = -1;
  if (m_name.empty()) return;
  // X servers pick the lowest free number, so the next one started by any
  // test would take this display's. An X server cannot use a number whose
  // abstract socket name is bound; bound without listening, it refuses
  // clients at once.
  m_numberHold = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string name = "/tmp/.X11-unix/X" + m_name.substr(1);
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  if (m_numberHold < 0 || bind(m_numberHold, reinterpret_cast<const sockaddr*>(&address), length) != 0)
    std::fprintf(stderr, "the number of display %s could not be held: %s\n", m_name.c_str(), std::strerror(errno));
}

std::vector<std::string> VirtualDisplay::Environment() const {
  return {"DISPLAY=" + m_name,
          "WAYLAND_DISPLAY",
          "GDK_BACKEND=x11",
          "XTBASIS_MSGBOX_ANSWER",
          "XTBASIS_SAVEFILE_ANSWER",
          "XTBASIS_FOLDER_ANSWER",
          "HOME=" + m_folder,
          "XDG_CONFIG_HOME=" + m_folder + "/.config",
          "XDG_DATA_HOME=" + m_folder + "/.local/share",
          "XDG_CACHE_HOME=" + m_folder + "/.cache",
          "XDG_RUNTIME_DIR=" + m_folder,
          "NO_AT_BRIDGE=1",
          "GSETTINGS_BACKEND=memory",
          "LSAN_OPTIONS=suppressions=" XTB_SOURCE_DIR "/tests/platform/probe/gtk_leaks.supp"};
}

std::unique_ptr<ChildProcess> VirtualDisplay::Probe(const std::vector<std::string>& arguments,
                                                    const std::vector<std::string>& extraEnvironment) {
  std::vector<std::string> argv{XTB_PRESENTER_PROBE};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment = Environment();
  environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
  return std::make_unique<ChildProcess>(argv, environment, m_folder + "/probe.err");
}

bool VirtualDisplay::Xdotool(const std::vector<std::string>& arguments, std::string* output, milliseconds timeout) {
  std::vector<std::string> argv{"xdotool"};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  ChildProcess xdotool(argv, {"DISPLAY=" + m_name});
  const auto deadline = Clock::now() + timeout;
  std::string text;
  for (std::string line;
       (line = xdotool.ReadLine(milliseconds(RemainingMs(deadline)))) != "<end>" && line != "<timeout>";)
    text += line + "\n";
  if (output) *output = text;
  return xdotool.Wait(milliseconds(RemainingMs(deadline))) == 0;
}

bool VirtualDisplay::Focus(const std::string& title) {
  // Retried: a window may be found a moment before it can take the focus.
  const auto deadline = Clock::now() + milliseconds(5000);
  while (!Xdotool({"search", "--onlyvisible", "--name", "^" + title + "$", "windowfocus", "--sync"}, nullptr,
                  milliseconds(1000))) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(milliseconds(50));
  }
  std::this_thread::sleep_for(kSettle);
  return true;
}

bool VirtualDisplay::Keys(const std::vector<std::string>& keys) {
  std::vector<std::string> arguments{"key", "--delay", "30"};
  arguments.insert(arguments.end(), keys.begin(), keys.end());
  return Xdotool(arguments);
}

bool VirtualDisplay::Type(const std::string& text) {
  const bool typed = Xdotool({"type", "--delay", "20", text});
  std::this_thread::sleep_for(kSettle);  // the file chooser completes typed names in the background
  return typed;
}

int VirtualDisplay::CountWindows(const std::string& title) {
  std::string found;
  Xdotool({"search", "--onlyvisible", "--name", "^" + title + "$"}, &found);
  int count = 0;
  for (char ch : found) count += ch == '\n';
  return count;
}

}  // namespace desktop
