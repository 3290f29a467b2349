// A desktop for the desktop presenter tests: a virtual X display (Xvfb), the
// presenter probe started on it, and xdotool pressing keys in its windows.
// Every wait has a deadline, so a window that never shows fails the test
// instead of hanging it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace desktop {

using std::chrono::milliseconds;

// A child process; standard output is read through a pipe, standard error
// goes to a file. Killed and reaped on destruction if still running.
class ChildProcess {
 public:
  // `environment` holds "NAME=VALUE" to set and "NAME" to remove.
  ChildProcess(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
               const std::string& errorFile = "/dev/null");
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return m_pid > 0; }
  // The next line of standard output (without its line end), or "<timeout>"
  // / "<end>" when none comes in time or the output ended.
  std::string ReadLine(milliseconds timeout = milliseconds(5000));
  // The exit code, or -1 when the process did not end in time (it is then killed).
  int Wait(milliseconds timeout = milliseconds(5000));
  bool Running();

 private:
  pid_t m_pid = -1;
  int m_output = -1;
  std::string m_buffer;
  int m_status = -1;
};

class VirtualDisplay {
 public:
  VirtualDisplay();
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  // Empty when Xvfb could not be started.
  const std::string& name() const { return m_name; }
  // A private folder for the probe's home and files, removed with the display.
  const std::string& folder() const { return m_folder; }
  // Ends the X server at once, as when a session goes away. The display's
  // number stays taken until destruction: another test's X server starting
  // meanwhile takes another, so a program still pointed here finds nobody.
  void Stop();

  // The environment of a program on this display: no Wayland, no answer
  // variables, a private home, quiet GTK, no leak report for GTK's caches.
  std::vector<std::string> Environment() const;
  // Starts the presenter probe on this display.
  std::unique_ptr<ChildProcess> Probe(const std::vector<std::string>& arguments,
                                      const std::vector<std::string>& extraEnvironment = {});

  // Waits for a visible window titled exactly `title` and gives it the focus.
  bool Focus(const std::string& title);
  // xdotool key / type into the focused window.
  bool Keys(const std::vector<std::string>& keys);
  bool Type(const std::string& text);
  // The number of visible windows titled exactly `title`.
  int CountWindows(const std::string& title);

 private:
  bool Xdotool(const std::vector<std::string>& arguments, std::string* output = nullptr,
               milliseconds timeout = milliseconds(5000));

  pid_t m_server = -1;
  int m_numberHold = -1;
  std::string m_name;
  std::string m_folder;
};

}  // namespace desktop
