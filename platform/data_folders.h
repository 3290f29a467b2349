// Where the library keeps its own data: the machine's folder and the user's,
// and in them the key containers and the machine's certificate stores.
// XTBASIS_CRYPTO_DIR moves the key containers and stores (tests, portable
// installations); XTBASIS_REGISTRY_DIR moves the registry hives (hive.cpp).
#pragma once

#include <string>

namespace xtb {

// /var/lib/xtbasis.
std::string MachineDataFolder();
// $XDG_DATA_HOME/xtbasis, else ~/.local/share/xtbasis (the home folder from
// HOME, else from the account).
std::string UserDataFolder();

// The folder that holds one folder per key container.
std::string KeyContainersFolder(bool machine);
// The folder that holds one folder per certificate store ("Root", "My").
std::string CertificateStoresFolder();

}  // namespace xtb
