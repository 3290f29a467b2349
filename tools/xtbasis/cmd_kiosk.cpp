// xtbasis kiosk install USER [--domain D] [--comment C] [--program P] [--root DIR]
// xtbasis kiosk remove USER [--root DIR]
// The password is asked for on the terminal without echo (or read as one
// line from standard input when that is no terminal).
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <string>

#include <xtbasis/kiosk.h>
#include <xtbasis/transcode.h>

#include "command.h"

namespace {

constexpr const char* kUsage =
    "xtbasis kiosk install USER [--domain D] [--comment C] [--program PATH] [--root DIR]\n"
    "       xtbasis kiosk remove USER [--root DIR]";

std::string ReadPassword() {
  const bool terminal = isatty(STDIN_FILENO) != 0;
  termios saved {};
  if (terminal) {
    std::fprintf(stderr, "Password: ");
    std::fflush(stderr);
    tcgetattr(STDIN_FILENO, &saved);
    termios quiet = saved;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  std::string password;
  std::getline(std::cin, password);
  if (terminal) {
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fprintf(stderr, "\n");
  }
  return password;
}

int Run(const xtbtool::Args& args) {
  if (args.size() < 2 || (args[0] != "install" && args[0] != "remove"))
    return xtbtool::UsageError("kiosk", "needs install or remove and a USER");
  std::string user = args[1], domain = ".", comment, program, root = "/";
  for (size_t i = 2; i < args.size(); i += 2) {
    if (i + 1 >= args.size()) return xtbtool::UsageError("kiosk", args[i] + " needs a value");
    const std::string& option = args[i];
    const std::string& value = args[i + 1];
    if (option == "--domain" && args[0] == "install") domain = value;
    else if (option == "--comment" && args[0] == "install") comment = value;
    else if (option == "--program" && args[0] == "install") program = value;
    else if (option == "--root") root = value;
    else return xtbtool::UsageError("kiosk", "unknown option " + args[i]);
  }
  CString error;
  if (args[0] == "remove") {
    if (!RemoveKioskMode(root.c_str(), user.c_str(), &error)) {
      std::fprintf(stderr, "xtbasis kiosk: %s\n", error.GetString());
      return 1;
    }
    std::printf("kiosk session of %s removed\n", user.c_str());
    return 0;
  }
  if (program.empty() && root != "/") return xtbtool::UsageError("kiosk", "--root needs --program");
  // The terminal speaks UTF-8; the library's texts are ANSI.
  const std::string password = UTF8ToAnsi(CString(ReadPassword())).str();
  comment = UTF8ToAnsi(CString(comment)).str();
  DWORD created = 0;
  const bool ok = program.empty()
                      ? InstallKioskMode(user.data(), password.c_str(), domain.c_str(), comment.c_str(), &created, &error)
                      : InstallKioskModeFor(program.c_str(), root.c_str(), user.c_str(), password.c_str(),
                                            domain.c_str(), comment.c_str(), &created, &error);
  if (!ok) {
    std::fprintf(stderr, "xtbasis kiosk: %s\n", error.GetString());
    return 1;
  }
  if (created == static_cast<DWORD>(-1)) return 0;  // the elevated copy did the work and reported it
  std::printf("kiosk session of %s set%s\n", user.c_str(), created == 1 ? " (account created)" : "");
  return 0;
}

const xtbtool::Registration registration({"kiosk", "install or remove a kiosk account", kUsage, Run});

}  // namespace
