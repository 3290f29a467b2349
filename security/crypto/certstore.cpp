#include "certstore.h"

#include <openssl/sha.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include <xtbasis/crypt.h>

#include "data_folders.h"
#include "files.h"
#include "provider_errors.h"

namespace xtb::crypto {

namespace {

constexpr unsigned kPublicFolder = 0755;
constexpr unsigned kPublicFile = 0644;

std::string HexOf(const uint8_t* bytes, size_t length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (size_t i = 0; i < length; ++i) {
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
  }
  return text;
}

bool EndsWith(const std::string& text, const std::string& tail) {
  return text.size() > tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// Lines: position, friendly name, key container, key provider. Names are
// written as they are; a line break inside one would end it early, so the
// writer refuses such names.
bool ParseProperties(const std::vector<uint8_t>& bytes, StoredCertificate& certificate) {
  std::istringstream lines(std::string(bytes.begin(), bytes.end()));
  std::string position;
  if (!std::getline(lines, position) || !std::getline(lines, certificate.friendlyName) ||
      !std::getline(lines, certificate.keyContainer) || !std::getline(lines, certificate.keyProvider))
    return false;
  char* end = nullptr;
  certificate.position = std::strtoul(position.c_str(), &end, 10);
  return end != position.c_str() && *end == '\0';
}

}  // namespace

bool CertificateStore::Open(const std::string& name) {
  m_folder = CertificateStoresFolder() + "/" + name;
  return disk::MakeKeyFolder(m_folder, kPublicFolder);
}

std::vector<StoredCertificate> CertificateStore::List() const {
  std::vector<StoredCertificate> found;
  const os::Folder folder = disk::OpenKeyFolder(m_folder, false);
  if (!folder.IsOpen()) return found;
  for (const std::string& file : disk::FileNames(folder)) {
    if (!EndsWith(file, ".prop")) continue;
    StoredCertificate certificate;
    certificate.thumbprint = file.substr(0, file.size() - 5);
    std::vector<uint8_t> properties;
    if (folder.ReadEntry(file, properties) && ParseProperties(properties, certificate) &&
        folder.ReadEntry(certificate.thumbprint + ".der", certificate.encoded))
      found.push_back(std::move(certificate));
  }
  std::sort(found.begin(), found.end(),
            [](const StoredCertificate& a, const StoredCertificate& b) { return a.position < b.position; });
  return found;
}

bool CertificateStore::DeleteByFriendlyName(const std::string& friendlyName) const {
  for (const StoredCertificate& certificate : List()) {
    if (certificate.friendlyName != friendlyName) continue;
    const os::Folder folder = disk::OpenKeyFolder(m_folder, true);
    if (!folder.IsOpen()) return false;
    folder.Remove(certificate.thumbprint + ".prop");
    folder.Remove(certificate.thumbprint + ".der");
    return true;
  }
  return false;
}

bool CertificateStore::Add(StoredCertificate& certificate) const {
  for (const std::string* text : {&certificate.friendlyName, &certificate.keyContainer, &certificate.keyProvider})
    if (text->find_first_of("\r\n") != std::string::npos) return Fail(NTE_BAD_DATA);
  uint8_t digest[SHA_DIGEST_LENGTH];
  SHA1(certificate.encoded.data(), certificate.encoded.size(), digest);
  certificate.thumbprint = HexOf(digest, sizeof digest);
  unsigned long last = 0;
  for (const StoredCertificate& other : List()) last = std::max(last, other.position);
  certificate.position = last + 1;
  const std::string properties = std::to_string(certificate.position) + "\n" + certificate.friendlyName + "\n" +
                                 certificate.keyContainer + "\n" + certificate.keyProvider + "\n";
  // The encoded form first: a store read in between sees no half entry,
  // since an entry counts only once its properties are there.
  const os::Folder folder = disk::OpenKeyFolder(m_folder, true);
  return folder.IsOpen() && disk::ReplaceKeyFile(folder, certificate.thumbprint + ".der", certificate.encoded, kPublicFile) &&
         disk::ReplaceKeyFile(folder, certificate.thumbprint + ".prop",
                              std::vector<uint8_t>(properties.begin(), properties.end()), kPublicFile);
}

}  // namespace xtb::crypto
