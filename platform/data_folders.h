// Where the library keeps its own data: the key containers of the machine
// and of the user, and the machine's certificate stores. XTBASIS_CRYPTO_DIR
// moves all of them (tests, portable installations).
#pragma once

#include <string>

namespace xtb {

// The folder that holds one folder per key container.
std::string KeyContainersFolder(bool machine);
// The folder that holds one folder per certificate store ("Root", "My").
std::string CertificateStoresFolder();

}  // namespace xtb
