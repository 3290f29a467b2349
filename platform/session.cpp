#include <xtbasis/platform/session.h>

#include <cstdlib>
#include <string_view>

#include "os/computers.h"
#include "os/environment.h"
#include "os/file.h"
#include "os/filesystem.h"
#include "os/netsocket.h"

namespace xtb {

namespace {

using xtb::os::ComputerName;
using xtb::os::NetbiosForm;
using xtb::os::NonEmptyEnvironmentValue;

// The client address of an SSH login: the first word of SSH_CONNECTION or SSH_CLIENT.
std::string SshClientAddress() {
  const char* value = NonEmptyEnvironmentValue("SSH_CONNECTION");
  if (!value) value = NonEmptyEnvironmentValue("SSH_CLIENT");
  if (!value) return {};
  const std::string_view text(value);
  return std::string(text.substr(0, text.find(' ')));
}

// The host part of DISPLAY ("host:0.0"; "[::1]:0" is not used by X).
// Empty for local displays (":0", "unix:0", "localhost:10" of SSH forwarding).
std::string RemoteDisplayHost() {
  const char* value = NonEmptyEnvironmentValue("DISPLAY");
  if (!value) return {};
  const std::string_view display(value);
  const size_t colon = display.rfind(':');
  if (colon == std::string_view::npos || colon == 0) return {};
  std::string host(display.substr(0, colon));
  if (host == "unix" || host == "localhost" || host.starts_with("127.") || host == "::1" ||
      NetbiosForm(host) == ComputerName())
    return {};
  return host;
}

}  // namespace

bool IsRemoteSession() {
  return NonEmptyEnvironmentValue("SSH_CONNECTION") || NonEmptyEnvironmentValue("SSH_CLIENT") || NonEmptyEnvironmentValue("XRDP_SESSION") || !RemoteDisplayHost().empty();
}

std::string RemoteClientName() {
  if (!IsRemoteSession()) return ComputerName();
  if (const char* named = NonEmptyEnvironmentValue("REMOTE_CLIENT_NAME")) return NetbiosForm(named);
  std::string host = SshClientAddress();
  if (host.empty()) host = RemoteDisplayHost();
  if (host.empty()) return ComputerName();
  return NetbiosForm(os::NameOfAddress(host));
}

DWORD SessionId() {
  std::string text;
  if (!os::ReadWholeFile("/proc/self/sessionid", text)) return 0;
  char* end = nullptr;
  const unsigned long long id = std::strtoull(text.c_str(), &end, 10);
  // 4294967295 marks a process outside any login session.
  if (end == text.c_str() || id >= 0xFFFFFFFFULL) return 0;
  return static_cast<DWORD>(id);
}

std::vector<std::string> RedirectedDriveNames() {
  std::vector<std::string> names;
  const char* home = NonEmptyEnvironmentValue("HOME");
  if (!home) return names;
  os::ListFolder(std::string(home) + "/thinclient_drives", [&names](std::string_view folder) {
    if (folder.size() == 1 || folder[1] == ':' || folder[1] == '_')
      names.push_back("\\\\TSCLIENT\\" + std::string(folder));
    return true;
  });
  return names;
}

bool OffersRemoteDesktops() {
  os::FileFacts facts;
  return os::FactsOf("/etc/xrdp/sesman.ini", facts);
}

}  // namespace xtb
