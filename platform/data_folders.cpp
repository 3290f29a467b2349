#include "data_folders.h"

#include "os/environment.h"

namespace xtb {
namespace {

std::string Environment(const char* name) {
  const char* value = os::EnvironmentValue(name);
  return value != nullptr ? value : "";
}

}  // namespace

std::string KeyContainersFolder(bool machine) {
  const std::string moved = Environment("XTBASIS_CRYPTO_DIR");
  if (!moved.empty()) return moved + (machine ? "/machine/keys" : "/user/keys");
  if (machine) return "/var/lib/xtbasis/keys";
  const std::string data = Environment("XDG_DATA_HOME");
  if (!data.empty()) return data + "/xtbasis/keys";
  return Environment("HOME") + "/.local/share/xtbasis/keys";
}

std::string CertificateStoresFolder() {
  const std::string moved = Environment("XTBASIS_CRYPTO_DIR");
  return !moved.empty() ? moved + "/machine/certs" : "/var/lib/xtbasis/certs";
}

}  // namespace xtb
