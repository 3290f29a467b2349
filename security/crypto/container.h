// Named key containers: one private folder per container below the user's
// or the machine's data folder, holding the exchange key pair (mode 0600).
// Readers share the folder's lock and writers hold it alone, so objects in
// any number of processes may open one container at once.
//
// Folders: $XTBASIS_CRYPTO_DIR/{user,machine}/keys when that is set, else
// $XDG_DATA_HOME/xtbasis/keys (~/.local/share/xtbasis/keys) for the user
// and /var/lib/xtbasis/keys for the machine.
#pragma once

#include <memory>
#include <string>

#include <xtbasis/platform/wintypes.h>

#include "key.h"

namespace xtb::crypto {

class Container {
 public:
  // Opens (or with CRYPT_NEWKEYSET creates) the container, or deletes it
  // with CRYPT_DELETEKEYSET (then the result is null also on success);
  // CRYPT_VERIFYCONTEXT gives one without storage. Null with the last error
  // NTE_BAD_KEYSET (missing), NTE_EXISTS (to be created but present),
  // NTE_BAD_KEY_STATE (its stored key is damaged) or a file-system error.
  static std::shared_ptr<Container> Acquire(const char* name, DWORD flags);

  // The stored exchange key, or null with NTE_NO_KEY.
  std::shared_ptr<Key> ExchangeKey() const;
  // Stores `key` (an RSA pair) as the exchange key.
  bool StoreExchangeKey(const Key& key);
  // The folder's name, unique among the containers of its kind.
  std::string UniqueName() const;

 private:
  Container(std::string folder, std::string unique) : m_folder(std::move(folder)), m_unique(std::move(unique)) {}

  std::string m_folder;  // empty for a context without storage
  std::string m_unique;
};

// The folder of the named container; the name's characters outside
// [A-Za-z0-9 =,._-] and a leading dot are written as %XX.
std::string ContainerFolder(const char* name, bool machine);

}  // namespace xtb::crypto
