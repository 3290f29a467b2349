#include "data_folders.h"

#include "os/environment.h"
#include "os/process.h"

namespace xtb {
namespace {

std::string Environment(const char* name) {
  const char* value = os::EnvironmentValue(name);
  return value != nullptr ? value : "";
}

std::string HomeFolder() {
  if (std::string home = Environment("HOME"); !home.empty()) return home;
  if (std::string home = os::AccountHomeFolder(); !home.empty()) return home;
  return ".";
}

}  // namespace

std::string MachineDataFolder() { return "/var/lib/xtbasis"; }

std::string UserDataFolder() {
  const std::string data = Environment("XDG_DATA_HOME");
  return (data.empty() ? HomeFolder() + "/.local/share" : data) + "/xtbasis";
}

std::string KeyContainersFolder(bool machine) {
  const std::string moved = Environment("XTBASIS_CRYPTO_DIR");
  if (!moved.empty()) return moved + (machine ? "/machine/keys" : "/user/keys");
  return (machine ? MachineDataFolder() : UserDataFolder()) + "/keys";
}

std::string CertificateStoresFolder() {
  const std::string moved = Environment("XTBASIS_CRYPTO_DIR");
  return !moved.empty() ? moved + "/machine/certs" : MachineDataFolder() + "/certs";
}

}  // namespace xtb
