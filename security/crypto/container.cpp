#include "container.h"

#include <openssl/crypto.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <xtbasis/crypt.h>
#include <xtbasis/platform/lasterror.h>

#include "data_folders.h"
#include "files.h"
#include "keyblob.h"
#include "os/process.h"
#include "provider_errors.h"

namespace xtb::crypto {

namespace {

constexpr const char* kExchangeFile = "exchange.key";
constexpr uint8_t kStoreMagic[4] = {'X', 'T', 'K', '1'};

std::string Escape(const std::string& name) {
  std::string out;
  for (size_t i = 0; i < name.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(name[i]);
    const bool plain = std::isalnum(c) || std::strchr(" =,_-", c) != nullptr || (c == '.' && i > 0);
    if (plain) {
      out += static_cast<char>(c);
    } else {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", c);
      out += code;
    }
  }
  return out;
}

// Stored form: the magic, a flags byte (1: exportable), the PRIVATEKEYBLOB.
std::shared_ptr<Key> DecodeStored(const std::vector<uint8_t>& bytes) {
  if (bytes.size() < 5 || std::memcmp(bytes.data(), kStoreMagic, 4) != 0) return nullptr;
  bool hasPrivate = false;
  PKey rsa = RsaFromBlob(bytes.data() + 5, bytes.size() - 5, hasPrivate);
  if (!rsa || !hasPrivate) return nullptr;
  return std::make_shared<Key>(std::move(rsa), true, (bytes[4] & 1) != 0);
}

}  // namespace

std::string ContainerFolder(const char* name, bool machine) {
  return KeyContainersFolder(machine) + "/" + Escape(name != nullptr && *name != '\0' ? name : os::UserName());
}

std::shared_ptr<Container> Container::Acquire(const char* name, DWORD flags) {
  if ((flags & CRYPT_VERIFYCONTEXT) == CRYPT_VERIFYCONTEXT)
    return std::shared_ptr<Container>(new Container("", "verify"));
  const bool machine = (flags & CRYPT_MACHINE_KEYSET) != 0;
  const std::string folder = ContainerFolder(name, machine);
  const std::string unique = folder.substr(folder.rfind('/') + 1);
  if ((flags & CRYPT_DELETEKEYSET) != 0) {
    if (!disk::FolderExists(folder)) Fail(NTE_BAD_KEYSET);
    else if (disk::RemoveFolder(folder)) SetLastError(0);
    return nullptr;
  }
  const bool exists = disk::FolderExists(folder);
  if ((flags & CRYPT_NEWKEYSET) != 0) {
    if (exists) {
      Fail(NTE_EXISTS);
      return nullptr;
    }
    if (!disk::MakeKeyFolder(folder, 0700)) return nullptr;
    return std::shared_ptr<Container>(new Container(folder, unique));
  }
  if (!exists) {
    Fail(NTE_BAD_KEYSET);
    return nullptr;
  }
  std::shared_ptr<Container> container(new Container(folder, unique));
  const os::Folder opened = disk::OpenKeyFolder(folder, false);
  std::vector<uint8_t> stored;
  if (!opened.IsOpen()) {
    Fail(NTE_BAD_KEYSET);
    return nullptr;
  }
  if (opened.ReadEntry(kExchangeFile, stored) && !DecodeStored(stored)) {
    Fail(NTE_BAD_KEY_STATE);
    return nullptr;
  }
  return container;
}

std::shared_ptr<Key> Container::ExchangeKey() const {
  std::vector<uint8_t> stored;
  std::shared_ptr<Key> key;
  if (!m_folder.empty() && disk::OpenKeyFolder(m_folder, false).ReadEntry(kExchangeFile, stored))
    key = DecodeStored(stored);
  OPENSSL_cleanse(stored.data(), stored.size());
  if (!key) Fail(NTE_NO_KEY);
  return key;
}

bool Container::StoreExchangeKey(const Key& key) {
  if (m_folder.empty()) return true;  // a throw-away context keeps keys in memory only
  std::vector<uint8_t> stored(kStoreMagic, kStoreMagic + 4);
  stored.push_back(key.IsExportable() ? 1 : 0);
  std::vector<uint8_t> blob = RsaToBlob(key.Rsa(), true);
  if (blob.empty()) return false;
  stored.insert(stored.end(), blob.begin(), blob.end());
  OPENSSL_cleanse(blob.data(), blob.size());
  const os::Folder opened = disk::OpenKeyFolder(m_folder, true);
  const bool ok = opened.IsOpen() && disk::ReplaceKeyFile(opened, kExchangeFile, stored, 0600);
  OPENSSL_cleanse(stored.data(), stored.size());
  return ok;
}

std::string Container::UniqueName() const { return m_unique; }

}  // namespace xtb::crypto
