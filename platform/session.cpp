#include <xtbasis/platform/session.h>

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string_view>

#include "os/environment.h"

namespace xtb {

namespace {

using xtb::os::NonEmptyEnvironmentValue;

// A host name the way Windows shows computer names: first label, 15
// characters, upper case. Addresses stay whole.
std::string NetbiosForm(std::string_view host) {
  const std::string text(host);
  unsigned char binary[sizeof(in6_addr)];
  const bool address = inet_pton(AF_INET, text.c_str(), binary) == 1 || inet_pton(AF_INET6, text.c_str(), binary) == 1;
  if (!address) host = host.substr(0, host.find('.'));
  std::string name(host.substr(0, address ? host.size() : 15));
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name;
}

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

// The name of a host given by address, or the address itself.
std::string NameOfAddress(const std::string& address) {
  addrinfo hints{};
  hints.ai_flags = AI_NUMERICHOST;
  addrinfo* found = nullptr;
  if (getaddrinfo(address.c_str(), nullptr, &hints, &found) != 0) return address;
  char host[NI_MAXHOST];
  const bool named = getnameinfo(found->ai_addr, found->ai_addrlen, host, sizeof host, nullptr, 0, NI_NAMEREQD) == 0;
  freeaddrinfo(found);
  return named ? host : address;
}

}  // namespace

std::string ComputerName() {
  utsname system{};
  if (uname(&system) != 0) return {};
  return NetbiosForm(system.nodename);
}

bool IsRemoteSession() {
  return NonEmptyEnvironmentValue("SSH_CONNECTION") || NonEmptyEnvironmentValue("SSH_CLIENT") || NonEmptyEnvironmentValue("XRDP_SESSION") || !RemoteDisplayHost().empty();
}

std::string RemoteClientName() {
  if (!IsRemoteSession()) return ComputerName();
  if (const char* named = NonEmptyEnvironmentValue("REMOTE_CLIENT_NAME")) return NetbiosForm(named);
  std::string host = SshClientAddress();
  if (host.empty()) host = RemoteDisplayHost();
  if (host.empty()) return ComputerName();
  return NetbiosForm(NameOfAddress(host));
}

DWORD SessionId() {
  std::ifstream file("/proc/self/sessionid");
  unsigned long long id = 0;
  // 4294967295 marks a process outside any login session.
  if (!(file >> id) || id >= 0xFFFFFFFFULL) return 0;
  return static_cast<DWORD>(id);
}

std::vector<std::string> RedirectedDriveNames() {
  std::vector<std::string> names;
  const char* home = NonEmptyEnvironmentValue("HOME");
  if (!home) return names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(home) / "thinclient_drives", error)) {
    const std::string folder = entry.path().filename().string();
    if (folder.size() == 1 || folder[1] == ':' || folder[1] == '_') names.push_back("\\\\TSCLIENT\\" + folder);
  }
  return names;
}

bool OffersRemoteDesktops() { return access("/etc/xrdp/sesman.ini", F_OK) == 0; }

}  // namespace xtb
