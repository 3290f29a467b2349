// The machine's certificate stores ("Root", "My"): one folder each below the
// machine data folder ($XTBASIS_CRYPTO_DIR/machine/certs when that is set,
// else /var/lib/xtbasis/certs), readable by every user. A certificate is
// the file <thumbprint>.der (its encoded form) with <thumbprint>.prop beside
// it: the store position, the friendly name and the reference to the
// container of its private key, one per line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xtb::crypto {

struct StoredCertificate {
  std::string thumbprint;  // SHA-1 of the encoded form, lower-case hex
  std::vector<uint8_t> encoded;
  std::string friendlyName;  // as given, code page 1252
  std::string keyContainer;  // empty when no private key is referred to
  std::string keyProvider;
  unsigned long position = 0;  // store order
};

class CertificateStore {
 public:
  // Opens (creating when missing) the store; false with the last error set.
  bool Open(const std::string& name);
  const std::string& Folder() const { return m_folder; }

  // The certificates in store order; damaged entries are left out.
  std::vector<StoredCertificate> List() const;
  // Deletes the first certificate of that friendly name; false if none.
  bool DeleteByFriendlyName(const std::string& friendlyName) const;
  // Adds the certificate at the end of the store, replacing an identical
  // one. Fills in `thumbprint` and `position`.
  bool Add(StoredCertificate& certificate) const;

 private:
  std::string m_folder;
};

}  // namespace xtb::crypto
