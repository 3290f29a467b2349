// The kiosk session on Linux: a session entry that runs the program alone
// under cage (no -s: switching to another virtual terminal stays off), and
// the user's AccountsService settings naming it as the user's session, which
// the display managers (GDM, LightDM) start at the next login.
#include <cerrno>
#include <string_view>
#include <vector>

#include "kiosk.h"
#include "os/file.h"
#include "os/filesystem.h"
#include "os/folder.h"

namespace xtb::kiosk {

namespace {

// Writes a configuration file whole: its folder made where missing, a new
// file renamed over the old one, so that a reader never sees half of it.
bool WriteConfigFile(const std::string& path, const std::string& text, unsigned mode) {
  const size_t slash = path.rfind('/');
  return slash != std::string::npos && os::Folder::Make(path.substr(0, slash), 0755).IsOpen() &&
         os::ReplaceWholeFile(path.c_str(), text.data(), text.size(), mode);
}

constexpr std::string_view kCreatedKey = "X-XTBasis-AccountCreated=";
constexpr std::string_view kProgramKey = "X-XTBasis-Program=";
constexpr std::string_view kPreviousSessionKey = "X-XTBasis-PreviousSession=";
constexpr std::string_view kPreviousXSessionKey = "X-XTBasis-PreviousXSession=";

std::string SessionName(const std::string& user) { return "xtbasis-kiosk-" + user; }

// One argument of a desktop entry's Exec line: quoted, with the characters
// the quoting reserves escaped, then escaped again as the entry's string
// value; '%' is doubled so it is no field code.
std::string ExecArgument(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '`' || c == '$') quoted += "\\\\";
    if (c == '\\') quoted += "\\\\\\";
    if (c == '%') quoted += '%';
    quoted += c;
  }
  return quoted + "\"";
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t from = 0;
  while (from < text.size()) {
    const size_t end = text.find('\n', from);
    lines.push_back(text.substr(from, end == std::string::npos ? std::string::npos : end - from));
    if (end == std::string::npos) break;
    from = end + 1;
  }
  return lines;
}

std::string ValueOf(const std::vector<std::string>& lines, std::string_view key) {
  for (const std::string& line : lines)
    if (line.starts_with(key)) return line.substr(key.size());
  return {};
}

// The value of `key` in the [User] group of an AccountsService file.
std::string UserGroupValue(const std::vector<std::string>& lines, std::string_view key) {
  bool inUser = false;
  for (const std::string& line : lines) {
    if (line.starts_with("[")) inUser = line == "[User]";
    else if (inUser && line.starts_with(key)) return line.substr(key.size());
  }
  return {};
}

// Sets (or, with an empty value, removes) Session and XSession in the [User]
// group of the AccountsService file, keeping every other line as it was.
bool SetUserSession(const std::string& root, const std::string& user, const std::string& session,
                    const std::string& xsession) {
  const std::string path = UserSettingsPath(root, user);
  std::string content;
  os::ReadWholeFile(path.c_str(), content);
  std::vector<std::string> lines = Lines(content);
  std::vector<std::string> out;
  // The keys go at the end of the first [User] group; a repeated group loses its copies.
  bool inUser = false, added = false;
  auto addKeys = [&] {
    if (added) return;
    added = true;
    if (!session.empty()) out.push_back("Session=" + session);
    if (!xsession.empty()) out.push_back("XSession=" + xsession);
  };
  for (const std::string& line : lines) {
    if (line.starts_with("[")) {
      if (inUser) addKeys();
      inUser = line == "[User]";
    } else if (inUser && (line.starts_with("Session=") || line.starts_with("XSession="))) {
      continue;
    }
    out.push_back(line);
  }
  if (inUser) addKeys();
  if (!added) {
    out.push_back("[User]");
    addKeys();
  }
  std::string text;
  for (const std::string& line : out) text += line + "\n";
  return WriteConfigFile(path, text, 0600);
}

}  // namespace

std::string SessionEntryPath(const std::string& root, const std::string& user) {
  return root + "/usr/share/wayland-sessions/" + SessionName(user) + ".desktop";
}

std::string UserSettingsPath(const std::string& root, const std::string& user) {
  return root + "/var/lib/AccountsService/users/" + user;
}

bool WriteSession(const std::string& root, const std::string& user, const Session& session) {
  if (session.program.find_first_of("\n\r") != std::string::npos) {
    errno = EINVAL;
    return false;
  }
  // The user's earlier choice, kept from a previous installation if there was one.
  std::string previous, previousX;
  std::string entry;
  if (os::ReadWholeFile(SessionEntryPath(root, user).c_str(), entry)) {
    previous = ValueOf(Lines(entry), kPreviousSessionKey);
    previousX = ValueOf(Lines(entry), kPreviousXSessionKey);
  } else {
    std::string settings;
    os::ReadWholeFile(UserSettingsPath(root, user).c_str(), settings);
    previous = UserGroupValue(Lines(settings), "Session=");
    previousX = UserGroupValue(Lines(settings), "XSession=");
  }
  const std::string text = "[Desktop Entry]\nType=Application\nName=Kiosk " + user +
                           "\nComment=Runs one program alone, full screen\nExec=cage -- " +
                           ExecArgument(session.program) + "\n" + std::string(kProgramKey) + session.program +
                           "\n" + std::string(kCreatedKey) + (session.accountCreated ? "true" : "false") + "\n" +
                           std::string(kPreviousSessionKey) + previous + "\n" +
                           std::string(kPreviousXSessionKey) + previousX + "\n";
  return WriteConfigFile(SessionEntryPath(root, user), text, 0644) &&
         SetUserSession(root, user, SessionName(user), SessionName(user));
}

bool ReadSession(const std::string& root, const std::string& user, Session& session) {
  std::string entry;
  if (!os::ReadWholeFile(SessionEntryPath(root, user).c_str(), entry)) return false;
  const std::vector<std::string> lines = Lines(entry);
  session.accountCreated = ValueOf(lines, kCreatedKey) == "true";
  session.program = ValueOf(lines, kProgramKey);
  return true;
}

bool RemoveSession(const std::string& root, const std::string& user) {
  std::string entry;
  if (!os::ReadWholeFile(SessionEntryPath(root, user).c_str(), entry)) return true;
  const std::vector<std::string> lines = Lines(entry);
  std::string settings;
  const bool hasSettings = os::ReadWholeFile(UserSettingsPath(root, user).c_str(), settings);
  if (hasSettings && !SetUserSession(root, user, ValueOf(lines, kPreviousSessionKey),
                                     ValueOf(lines, kPreviousXSessionKey)))
    return false;
  return os::RemoveFile(SessionEntryPath(root, user).c_str());
}

}  // namespace xtb::kiosk
