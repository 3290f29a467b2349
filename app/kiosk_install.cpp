// InstallKioskMode on Linux: re-launch with root rights when needed, find or
// create the account, then give it the kiosk session.
#include <xtbasis/kiosk.h>
#include <xtbasis/transcode.h>

#include <cerrno>
#include <cstring>

#include "kiosk.h"
#include "os/accounts.h"
#include "os/process.h"
#include "os/programs.h"

namespace xtb::kiosk {

namespace {

// The group ordinary users belong to: the one with id 100 (Debian's "users"),
// found by its id rather than by a name that differs between systems.
constexpr uint32_t kUsersGroupId = 100;
// pkexec's exit codes when the user was not authorised or dismissed the prompt.
constexpr int kPkexecNotAuthorised = 126;
constexpr int kPkexecDismissed = 127;

bool Fail(CString* errorText, const std::string& label, const std::string& message) {
  if (errorText) *errorText = CString(label + message);
  return false;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  return text;
}

// Names the account tools and the session files accept: no path or field
// separators, no leading '-' that a tool would read as an option.
bool IsValidUserName(const std::string& name) {
  if (name.empty() || name.size() > 32 || name[0] == '-' || name[0] == '.') return false;
  for (const char c : name) {
    const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
                    c == '-' || c == '.';
    if (!ok) return false;
  }
  return true;
}

// Starts the same program with the same arguments through pkexec, else sudo,
// and waits for it to end.
bool Elevate(CString* errorText) {
  std::vector<std::string> args = os::OwnArguments();
  const std::string self = os::OwnExecutable();
  if (self.empty() || args.empty()) return Fail(errorText, "Elevation:\n", "the program's own path is unknown");
  args[0] = self;
  for (const char* elevator : {"pkexec", "sudo"}) {
    const std::string path = os::FindOnPath(elevator);
    if (path.empty()) continue;
    std::vector<std::string> argv{path};
    if (std::strcmp(elevator, "sudo") == 0) argv.push_back("--");
    argv.insert(argv.end(), args.begin(), args.end());
    const os::ProgramRun run = os::RunOnTerminal(argv);
    if (!run.started) return Fail(errorText, "Elevation:\n", run.output);
    if (std::strcmp(elevator, "pkexec") == 0 &&
        (run.exitCode == kPkexecNotAuthorised || run.exitCode == kPkexecDismissed))
      return Fail(errorText, "Elevation:\n", "root rights were refused");
    return true;
  }
  return Fail(errorText, "Elevation:\n", "root rights are needed, and neither pkexec nor sudo is installed");
}

bool CreateLocalAccount(const Request& request, CString* errorText) {
  const std::string hash = os::HashPassword(request.password);
  if (hash.empty()) return Fail(errorText, "NetUserAdd: ", "the password could not be hashed");
  // The hash, never the password, reaches the tool's command line.
  std::vector<std::string> add{"useradd", "--create-home", "--shell", "/bin/sh", "--password", hash,
                               "--comment", request.comment};
  if (request.root != "/") add.insert(add.end(), {"--prefix", request.root});
  add.insert(add.end(), {"--", request.user});
  const os::ProgramRun created = os::RunCaptured(add, "");
  if (!created.started || created.exitCode != 0)
    return Fail(errorText, "NetUserAdd: ", std::to_string(created.exitCode) + " " + Trimmed(created.output));

  const auto group = os::GroupName(request.root, kUsersGroupId);
  if (!group) return Fail(errorText, "NetLocalGroupAddMembers: ", "the system has no group for ordinary users");
  std::vector<std::string> join{"usermod", "--append", "--groups", *group};
  if (request.root != "/") join.insert(join.end(), {"--prefix", request.root});
  join.insert(join.end(), {"--", request.user});
  const os::ProgramRun joined = os::RunCaptured(join, "");
  if (!joined.started || joined.exitCode != 0)
    return Fail(errorText, "NetLocalGroupAddMembers: ", Trimmed(joined.output));
  return true;
}

}  // namespace

bool Install(const Request& request, DWORD* created, CString* errorText) {
  if (created) *created = static_cast<DWORD>(-1);
  if (os::EffectiveUserId() != 0) return Elevate(errorText);
  if (created) *created = 0;
  if (!IsValidUserName(request.user))
    return Fail(errorText, "NetUserAdd: ", "'" + request.user + "' is not a valid user name");

  const bool local = request.domain.empty() || request.domain == ".";
  bool accountCreated = false;
  Session previous;
  const bool hadSession = ReadSession(request.root, request.user, previous);
  if (local) {
    if (!os::PasswordMatches(request.root, request.user, request.password)) {
      if (os::FindAccount(request.root, request.user))
        return Fail(errorText, "LogonUser: ", "the account exists and the password does not match");
      if (!CreateLocalAccount(request, errorText)) return false;
      accountCreated = true;
      if (!os::PasswordMatches(request.root, request.user, request.password))
        return Fail(errorText, "LogonUser: ", "the new account does not accept its password");
    }
  } else if (!os::FindAccount(request.root, request.user) && !os::NameServiceKnows(request.user)) {
    if (!CreateDomainAccount(request, errorText)) return false;
    accountCreated = true;
  }
  if (created && accountCreated) *created = 1;

  Session session;
  session.program = request.program;
  // A re-run keeps the note that the account is the installation's own.
  session.accountCreated = accountCreated || (hadSession && previous.accountCreated);
  if (!WriteSession(request.root, request.user, session))
    return Fail(errorText, "Winlogon-Shell:\n", std::strerror(errno));
  return true;
}

bool Remove(const std::string& root, const std::string& user, CString* errorText) {
  if (!IsValidUserName(user)) return Fail(errorText, "Remove: ", "'" + user + "' is not a valid user name");
  Session session;
  if (!ReadSession(root, user, session)) return Fail(errorText, "Remove: ", user + " has no kiosk session");
  if (!RemoveSession(root, user)) return Fail(errorText, "Winlogon-Shell:\n", std::strerror(errno));
  if (!session.accountCreated || !os::FindAccount(root, user)) return true;
  std::vector<std::string> del{"userdel", "--remove"};
  if (root != "/") del.insert(del.end(), {"--prefix", root});
  del.insert(del.end(), {"--", user});
  const os::ProgramRun run = os::RunCaptured(del, "");
  // userdel reports 12 when only the home folder could not be removed.
  if (!run.started || (run.exitCode != 0 && run.exitCode != 12))
    return Fail(errorText, "NetUserDel: ", std::to_string(run.exitCode) + " " + Trimmed(run.output));
  return true;
}

}  // namespace xtb::kiosk

bool InstallKioskModeFor(const char* program, const char* root, const char* userName, const char* password,
                         const char* domain, const char* comment, DWORD* created, CString* errorText) {
  xtb::kiosk::Request request;
  request.root = root && *root ? root : "/";
  request.user = userName ? userName : "";
  // The exported texts are ANSI; the account tools and the login speak UTF-8.
  request.password = AnsiToUTF8(CString(password)).str();
  request.domain = domain ? domain : "";
  request.comment = AnsiToUTF8(CString(comment)).str();
  request.program = program ? program : "";
  return xtb::kiosk::Install(request, created, errorText);
}

bool InstallKioskMode(char* userName, const char* password, const char* domain, const char* comment,
                      DWORD* created, CString* errorText) {
  const std::string self = xtb::os::OwnExecutable();
  return InstallKioskModeFor(self.c_str(), "/", userName, password, domain, comment, created, errorText);
}

bool RemoveKioskMode(const char* root, const char* userName, CString* errorText) {
  return xtb::kiosk::Remove(root && *root ? root : "/", userName ? userName : "", errorText);
}
